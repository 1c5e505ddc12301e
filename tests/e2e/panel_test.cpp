// The settings panel of the real program: its controls read and driven from this process, what
// it stores read from the registry, what ">" plays heard, the start-up shortcut read back
// through the shell.
#include "res/resource.h"
#include "tests/e2e/audio_capture.h"
#include "tests/e2e/harness.h"

#include <shlobj.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace e2e;
namespace fs = std::filesystem;
using Values = std::vector<std::wstring>;

fs::path StartupFolder() {
    wchar_t folder[MAX_PATH] = L"";
    ::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_STARTUP, FALSE);
    return folder;
}
const fs::path Shortcut = StartupFolder() / L"Nudgebell+.lnk";
const fs::path StartupAside = StartupFolder().wstring() + L".aside";

// What the shortcut starts, as the shell reads it: the program and its arguments.
std::wstring ShortcutTarget() {
    wchar_t path[MAX_PATH] = L"", arguments[MAX_PATH] = L"";
    IShellLinkW *link = nullptr;
    IPersistFile *file = nullptr;
    ::CoInitialize(nullptr);
    ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
    if (link && SUCCEEDED(link->QueryInterface(IID_PPV_ARGS(&file))) &&
        SUCCEEDED(file->Load(Shortcut.c_str(), STGM_READ))) {
        link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetArguments(arguments, MAX_PATH);
    }
    for (IUnknown *object : std::initializer_list<IUnknown *>{file, link})
        if (object)
            object->Release();
    return std::wstring(path) + L" " + arguments;
}

// The stored values as Shown lists the controls, 0xFFFFFFFF as -1.
Values Stored() {
    Values values;
    for (const wchar_t *name : {L"Play", L"RepeatTimes", L"RepeatDelay", L"Sound", L"AutoSnooze",
                                L"SnoozeChoice", L"VolumeControl", L"AutoRun"}) {
        wchar_t text[300] = L"(none)";
        DWORD value = 0, size = sizeof text;
        bool dword = ReadSetting(name, &value);
        ::RegGetValueW(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_REG_SZ, nullptr, text, &size);
        values.push_back(dword ? std::to_wstring(int(value)) : text);
    }
    return values;
}

class PanelRun : public ProgramTest {
  protected:
    void TearDown() override {
        ProgramTest::TearDown();
        Close(program);
        fs::remove(Shortcut);
        if (fs::exists(StartupAside) && fs::remove(StartupFolder()))
            fs::rename(StartupAside, StartupFolder());
    }
    // Starts the program and waits until its panel is filled.
    void Open() {
        Close(program);
        program = StartProgram(L"");
        main = WaitForProgramWindow(program);
        ASSERT_TRUE(WaitUntil([&] {
            panel = ::FindWindowExW(main, nullptr, L"#32770", nullptr);
            return panel && Send(IDC_VOLUME, CB_GETCOUNT) == 5;
        }));
    }
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, const void *lParam = nullptr) {
        return ::SendMessageW(::GetDlgItem(panel, id), message, wParam, LPARAM(lParam));
    }
    // A button that acts is clicked by a posted message, as the program blocks while it acts.
    void Click(int id) { ::PostMessageW(::GetDlgItem(panel, id), BM_CLICK, 0, 0); }
    // What the controls show, in the order of Stored.
    Values Shown() {
        Values shown;
        for (auto [id, message] : {std::pair{IDC_PLAY, BM_GETCHECK},
                                   {IDC_TIMES, WM_GETTEXT},
                                   {IDC_DELAY, WM_GETTEXT},
                                   {IDC_SOUND, WM_GETTEXT},
                                   {IDC_AUTOSNOOZE, BM_GETCHECK},
                                   {IDC_SNOOZE, CB_GETCURSEL},
                                   {IDC_VOLUME, CB_GETCURSEL},
                                   {IDC_AUTORUN, BM_GETCHECK}}) {
            wchar_t text[300] = L"";
            LRESULT result = Send(id, message, 300, text);
            shown.push_back(message == WM_GETTEXT ? text : std::to_wstring(int(result)));
        }
        return shown;
    }
    Process program;
    HWND main = nullptr, panel = nullptr;
};

TEST_F(PanelRun, ShowsTheStoredSettingsTriesTheSoundWithoutSavingAndRunSavesWhatItHolds) {
    for (auto [name, value] : {std::pair{L"Play", 0},
                               {L"RepeatTimes", 4},
                               {L"RepeatDelay", 12500},
                               {L"AutoSnooze", 1},
                               {L"SnoozeChoice", 9},
                               {L"VolumeControl", 2}})
        WriteSetting(name, DWORD(value));
    WriteSetting(L"Sound", std::wstring(L"Chimes"));
    const Values stored = Stored();
    const DWORD half = 0x80008000;
    WriteValue(VolumeKey, L"Volume", &half);
    // A start-up folder that cannot hold the shortcut: a file stands in its place.
    fs::rename(StartupFolder(), StartupAside);
    std::ofstream(StartupFolder()) << "in the way";
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(Shown(), (Values{L"0", L"4", L"12", L"Chimes", L"1", L"-1", L"2", L"0"}));

    // ">" plays the listed sound at the listed level, puts the level back and saves nothing.
    Send(IDC_SOUND, CB_SELECTSTRING, WPARAM(-1), L"Alarm3");
    Send(IDC_VOLUME, CB_SETCURSEL, 1);
    StartAudioCapture();
    Click(IDC_TEST);
    ASSERT_TRUE(WaitUntil([] { return !CapturedSounds().empty(); }));
    Shown(); // answered once the play is over
    std::vector<CapturedSound> heard = CapturedSounds();
    EXPECT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].alarm, L"Alarm3");
    EXPECT_NEAR(heard[0].level, 0.25, 0.04);
    DWORD mirror = 0;
    EXPECT_TRUE(ReadValue(VolumeKey, L"Volume", &mirror) && mirror == half) << mirror;
    EXPECT_EQ(Stored(), stored);

    // "Run" with the lists left without a selection and the start-up tick: the shortcut
    // cannot be made, which the user is told, and the program goes on, watching.
    Send(IDC_SOUND, CB_SETCURSEL, WPARAM(-1));
    Send(IDC_VOLUME, CB_SETCURSEL, WPARAM(-1));
    Send(IDC_PLAY, BM_CLICK);
    Send(IDC_AUTORUN, BM_CLICK);
    Send(IDC_TIMES, WM_SETTEXT, 0, L"5");
    Click(IDC_RUN);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindOwnedWindow(main, L"Nudgebell+")) != nullptr; }));
    EXPECT_NE(::FindWindowExW(box, nullptr, L"Static", L"SHCreateShortcut() failed"), nullptr);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main); }));
    EXPECT_EQ(Stored(), (Values{L"1", L"5", L"12000", L"", L"1", L"-1", L"-1", L"1"}));
    EXPECT_EQ(Wait(program, 0), STILL_ACTIVE);
}

TEST_F(PanelRun, RunWithTheTickCreatesTheShortcutAndExitWithoutItDeletesIt) {
    ASSERT_NO_FATAL_FAILURE(Open());
    Send(IDC_AUTORUN, BM_CLICK);
    Click(IDC_RUN);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main); }));
    EXPECT_EQ(ShortcutTarget(), ProgramPath() + L" /AUTORUN");
    EXPECT_EQ(Stored(), (Values{L"1", L"3", L"30000", L"Alarm1", L"0", L"0", L"0", L"1"}));

    EndAllCopies();
    ASSERT_NO_FATAL_FAILURE(Open());
    Send(IDC_AUTORUN, BM_CLICK);
    Send(IDC_SNOOZE, CB_SETCURSEL, 4);
    Send(IDC_DELAY, WM_SETTEXT, 0, L"7");
    Click(IDC_EXIT);
    EXPECT_EQ(Wait(program, 10000), 0u);
    EXPECT_FALSE(fs::exists(Shortcut));
    EXPECT_EQ(Stored(), (Values{L"1", L"3", L"7000", L"Alarm1", L"0", L"4", L"0", L"0"}));
}

} // namespace
