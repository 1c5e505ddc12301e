// The device's reminder window (tools/reminder) as the end-to-end tests open and read it.
#pragma once
#include "tools/reminder/titles.h"
#include "tests/e2e/harness.h"

#include <string>
#include <vector>

namespace e2e {

constexpr wchar_t ReminderClass[] = L"Dialog";
constexpr const wchar_t *const *ReminderTitles = DeviceReminderTitles; // by /title: n - 1

struct Reminder {
    Process process;
    std::wstring report; // the file the tool reports to
    HWND window = nullptr;
};

// Opens a reminder with the tool's `options` (e.g. L"/title:2") and waits until it is ready
// for keys; its window is found by `className` and the title of option /title: (1 by default).
Reminder OpenReminder(const std::wstring &options, int title = 1,
                      const wchar_t *className = ReminderClass);
// The report's lines so far.
std::vector<std::wstring> ReportLines(const Reminder &reminder);
bool WaitForReportLine(const Reminder &reminder, const std::wstring &line, DWORD milliseconds);
// The report's "key N" lines as their numbers.
std::vector<int> KeysReported(const Reminder &reminder);

} // namespace e2e
