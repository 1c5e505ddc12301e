// The titles the device's reminder window bears, by language 1 to 6 (index 0 to 5). The
// device's side keeps its own list, apart from the program's, so that a test can catch a
// wrong title in the program.
#pragma once

constexpr const wchar_t *DeviceReminderTitles[6] = {
    L"Reminder",
    L"Erinnerung",
    L"Aviso",
    L"Rappel",
    L"\x041D\x0430\x043F\x043E\x043C\x0438\x043D\x0430\x043D\x0438\x0435",
    L"Promemoria",
};
