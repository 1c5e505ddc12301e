// Driving the real program on the Wine device from a test process of its own, and hearing what
// the device plays (tools/device/capture-sounds).
#pragma once
#include <windows.h>

#include "platform/scoped.h"
#include "tools/sounds/heard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

namespace fs = std::filesystem;
constexpr wchar_t ProgramClass[] = L"NUDGEBELLPLUS";
constexpr wchar_t ProgramTitle[] = L"Nudgebell+";
constexpr wchar_t SettingsKey[] = L"Software\\Quarnel\\NudgebellPlus";
constexpr wchar_t VolumeKey[] = L"ControlPanel\\Volume"; // the system's volume mirror

std::wstring DevicePath(const char *unixPath); // as the device sees it, on Wine's Z: drive
std::wstring ProgramPath();

using Process = plat::Scoped<HANDLE, ::CloseHandle>; // closed when it goes
Process Start(const std::wstring &program, const std::wstring &arguments);
Process StartProgram(const std::wstring &arguments);
DWORD Wait(Process &process, DWORD milliseconds);        // the exit code (closed), or STILL_ACTIVE
inline DWORD Wait(Process &&start, DWORD milliseconds) { // a start waited for, then let go
    return Wait(start, milliseconds);
}

// Polls until the predicate holds; false when `milliseconds` passed first.
template <typename Predicate> bool WaitUntil(Predicate predicate, DWORD milliseconds = 10000) {
    for (DWORD start = ::GetTickCount(); !predicate(); ::Sleep(20))
        if (::GetTickCount() - start > milliseconds)
            return false;
    return true;
}

// The main window once `program` has started up, with its final visibility.
HWND WaitForProgramWindow(Process &program, DWORD milliseconds = 10000);
// A visible top-level window owned by `owner` with the given title, or none after 10 s.
HWND WaitForOwnedWindow(HWND owner, const wchar_t *title);
void EndAllCopies(); // of the program

// REG_DWORD values under HKEY_CURRENT_USER (null: deleted), the program's under SettingsKey.
void WriteValue(const wchar_t *key, const wchar_t *name, const DWORD *value);
std::optional<DWORD> ReadValue(const wchar_t *key, const wchar_t *name);
void WriteSetting(const wchar_t *name, DWORD value);
void WriteSetting(const wchar_t *name, const std::wstring &text);

void TypeKeys(std::initializer_list<WORD> down, WORD key); // `down` held; to the focus

// Opens the device's reminder stand-in (tools/reminder) with `options` and waits for its report
// to begin; the report. What it reported after opening: the keys it received and what it did.
std::filesystem::path OpenReminder(const std::wstring &options);
std::string Received(const std::filesystem::path &report);

using CapturedSound = HeardSound;
// Forgets what was heard so far. Needs DEVICE_AUDIO_HOME, which the suite's ctest entry sets.
void StartAudioCapture();
std::vector<CapturedSound> CapturedSounds(); // in order of onset
double UnixMilliseconds();                   // now, on the clock of the onsets

// Each test starts with no copy running and no stored settings, and ends every copy it left.
class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EndAllCopies();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey);
    }
    void TearDown() override {
        for (HWND window; (window = ::FindWindowW(L"Dialog", nullptr)) != nullptr;)
            ::SendMessageW(window, WM_CLOSE, 0, 0); // the stand-ins left open
        EndAllCopies();
    }
};

} // namespace e2e
