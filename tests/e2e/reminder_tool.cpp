#include "tests/e2e/reminder_tool.h"

#include <algorithm>

namespace e2e {

Reminder OpenReminder(const std::wstring &options, int title, const wchar_t *className) {
    static int opened = 0;
    wchar_t folder[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, folder);
    Reminder reminder;
    reminder.report = std::wstring(folder) + L"reminder-" +
                      std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++opened) +
                      L".txt";
    ::DeleteFileW(reminder.report.c_str());
    reminder.process =
        Start(ToolPath(L"reminder.exe"), options + L" /report:\"" + reminder.report + L"\"");
    reminder.window = WaitForWindow(className, ReminderTitles[title - 1]);
    // Ready for keys once it says so.
    WaitForReportLine(reminder, std::wstring(L"opened ") + ReminderTitles[title - 1], 5000);
    return reminder;
}

std::vector<std::wstring> ReportLines(const Reminder &reminder) {
    std::vector<std::wstring> lines;
    HANDLE file = ::CreateFileW(reminder.report.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lines;
    std::string bytes(65536, '\0');
    DWORD read = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    std::wstring text(bytes.size(), L'\0');
    text.resize(::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                      text.data(), static_cast<int>(text.size())));
    size_t start = 0;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

bool WaitForReportLine(const Reminder &reminder, const std::wstring &line, DWORD milliseconds) {
    return WaitUntil(
        [&] {
            auto lines = ReportLines(reminder);
            return std::find(lines.begin(), lines.end(), line) != lines.end();
        },
        milliseconds);
}

std::vector<int> KeysReported(const Reminder &reminder) {
    std::vector<int> keys;
    for (const std::wstring &line : ReportLines(reminder))
        if (line.starts_with(L"key "))
            keys.push_back(std::stoi(line.substr(4)));
    return keys;
}

} // namespace e2e
