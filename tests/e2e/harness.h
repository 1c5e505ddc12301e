// Driving the real program on the Wine device from a test process of its own.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace e2e {

constexpr wchar_t ProgramClass[] = L"NUDGEBELLPLUS";
constexpr wchar_t ProgramTitle[] = L"Nudgebell+";
constexpr wchar_t SettingsKey[] = L"Software\\Quarnel\\NudgebellPlus";
constexpr wchar_t VolumeKey[] = L"ControlPanel\\Volume"; // the system's volume mirror

std::wstring DevicePath(const char *unixPath); // as the device sees it, on Wine's Z: drive
std::wstring ProgramPath();
std::wstring ToolPath(const wchar_t *name); // a program built under tools/

struct Process {
    HANDLE handle = nullptr;
    DWORD id = 0;
};
Process Start(const std::wstring &program, const std::wstring &arguments);
Process StartProgram(const std::wstring &arguments);
DWORD Wait(Process &process, DWORD milliseconds); // the exit code (closed), or STILL_ACTIVE
void Close(Process &process);

// Polls until the predicate holds; false when `milliseconds` passed first.
template <typename Predicate> bool WaitUntil(Predicate predicate, DWORD milliseconds = 10000) {
    for (DWORD start = ::GetTickCount(); !predicate(); ::Sleep(20))
        if (::GetTickCount() - start > milliseconds)
            return false;
    return true;
}

HWND WaitForWindow(const wchar_t *className, const wchar_t *title, DWORD milliseconds = 10000);
HWND ProgramWindow();
// The main window once `program` has started up, with its final visibility.
HWND WaitForProgramWindow(Process &program, DWORD milliseconds = 10000);
// A visible top-level window owned by `owner` with the given title, or none.
HWND FindOwnedWindow(HWND owner, const wchar_t *title);
void EndAllCopies(); // of the program

// Values under HKEY_CURRENT_USER; the program's own are under SettingsKey.
void DeleteSettings();
void WriteSetting(const wchar_t *name, DWORD value);
void WriteSetting(const wchar_t *name, const std::wstring &text);
bool ReadSetting(const wchar_t *name, DWORD *value);
void WriteValue(const wchar_t *key, const wchar_t *name, const DWORD *value); // null: deleted
bool ReadValue(const wchar_t *key, const wchar_t *name, DWORD *value);        // REG_DWORD only

// Keys typed on the device's keyboard, to whichever window has the focus.
void TypeKeys(std::initializer_list<WORD> down, WORD key);

// Each test starts with no copy running and no stored settings, and ends every copy it left.
class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EndAllCopies();
        DeleteSettings();
    }
    void TearDown() override { EndAllCopies(); }
};

} // namespace e2e
