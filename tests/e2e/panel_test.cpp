// The settings panel of the real program, driven from this process: what it loads, stores and
// plays (">"), and the start-up shortcut, read back through the shell.
#include "res/resource.h"
#include "tests/e2e/harness.h"

#include <shlobj.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace e2e;
namespace fs = std::filesystem;
using Values = std::vector<std::wstring>;

const fs::path Shortcut = fs::path(::_wgetenv(L"APPDATA")) /
                          L"Microsoft\\Windows\\Start Menu\\Programs\\Startup\\Nudgebell+.lnk";
constexpr const wchar_t *Names[] = {L"Play",       L"RepeatTimes",  L"RepeatDelay",   L"Sound",
                                    L"AutoSnooze", L"SnoozeChoice", L"VolumeControl", L"AutoRun"};

// What the shortcut starts, as the shell reads it: the program and its arguments.
std::wstring ShortcutTarget() {
    wchar_t path[MAX_PATH] = L"", arguments[MAX_PATH] = L"";
    IShellLinkW *link = nullptr;
    IPersistFile *file = nullptr;
    ::CoInitialize(nullptr);
    ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
    if (link && SUCCEEDED(link->QueryInterface(IID_PPV_ARGS(&file))) &&
        SUCCEEDED(file->Load(Shortcut.c_str(), STGM_READ)) &&
        SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)))
        link->GetArguments(arguments, MAX_PATH); // the objects live as long as this process
    return std::wstring(path) + L" " + arguments;
}

// The stored values in the order of Names, 0xFFFFFFFF as -1.
Values Stored() {
    Values values;
    for (const wchar_t *name : Names) {
        wchar_t text[300] = L"(none)";
        DWORD type = 0, size = sizeof text;
        ::RegGetValueW(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_ANY, &type, text, &size);
        values.push_back(type == REG_DWORD ? std::to_wstring(text[0] | text[1] << 16) : text);
    }
    return values;
}

class PanelRun : public ProgramTest {
  protected:
    void TearDown() override {
        ProgramTest::TearDown();
        Close(program);
        fs::remove(Shortcut);
    }
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, const void *lParam = nullptr) {
        return ::SendMessageW(::GetDlgItem(panel, id), message, wParam, LPARAM(lParam));
    }
    // A button that acts is clicked by a posted message, as the program blocks while it acts.
    void Click(int id) { ::PostMessageW(::GetDlgItem(panel, id), BM_CLICK, 0, 0); }
    Process program;
    HWND main = nullptr, panel = nullptr;
};

TEST_F(PanelRun, ShowsWhatItLoadedTriesTheSoundThenRunAndExitSaveWhatWasGiven) {
    const Values stored = {L"0", L"4", L"12500", L"Chimes", L"1", L"9", L"2", L"(none)"};
    for (size_t i = 0; i < 7; ++i)
        i == 3 ? WriteSetting(Names[i], stored[i]) : WriteSetting(Names[i], std::stoul(stored[i]));
    const DWORD half = 0x80008000;
    WriteValue(VolumeKey, L"Volume", &half);
    fs::create_directory(Shortcut); // in the way of the shortcut: it cannot be made
    program = StartProgram(L"");
    main = WaitForProgramWindow(program);
    ASSERT_TRUE(WaitUntil([&] { // until the panel is filled
        panel = ::FindWindowExW(main, nullptr, L"#32770", nullptr);
        return panel && Send(IDC_VOLUME, CB_GETCOUNT) == 5;
    }));
    // The lists show what was stored: Chimes after Alarm1 to 3, no snooze choice 9, medium.
    for (auto [list, shown] : {std::pair{IDC_SOUND, 3}, {IDC_SNOOZE, CB_ERR}, {IDC_VOLUME, 2}})
        EXPECT_EQ(Send(list, CB_GETCURSEL), shown) << list;

    // ">" plays the listed sound at the listed level, puts the level back and saves nothing.
    Send(IDC_SOUND, CB_SELECTSTRING, WPARAM(-1), L"Alarm3");
    Send(IDC_VOLUME, CB_SETCURSEL, 1);
    StartAudioCapture();
    Click(IDC_TEST);
    ASSERT_TRUE(WaitUntil([] { return !CapturedSounds().empty(); }));
    Send(IDC_PLAY, BM_GETCHECK); // answered once the play is over
    std::vector<CapturedSound> heard = CapturedSounds();
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].alarm, L"Alarm3");
    EXPECT_NEAR(heard[0].level, 0.25, 0.04);
    EXPECT_EQ(ReadValue(VolumeKey, L"Volume"), half);
    EXPECT_EQ(Stored(), stored);

    // "Run", the lists unselected, the tick set: it saves what was loaded (12.5 s as 12, choice 9
    // as none) and changed; the user is told the shortcut cannot be made; the program goes on.
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
    EXPECT_EQ(Stored(), (Values{L"1", L"5", L"12000", L"", L"1", L"-1", L"-1", L"0"}));
    EXPECT_EQ(Wait(program, 0), STILL_ACTIVE);

    // Once the folder is usable, "Exit" makes the shortcut and saves what was changed.
    fs::remove(Shortcut);
    Process again = StartProgram(L"");
    EXPECT_EQ(Wait(again, 10000), 0u);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main); }));
    Send(IDC_SNOOZE, CB_SETCURSEL, 4);
    Send(IDC_DELAY, WM_SETTEXT, 0, L"7");
    Click(IDC_EXIT);
    EXPECT_EQ(Wait(program, 10000), 0u);
    EXPECT_EQ(ShortcutTarget(), ProgramPath() + L" /AUTORUN");
    EXPECT_EQ(Stored(), (Values{L"1", L"5", L"7000", L"", L"1", L"4", L"-1", L"1"}));
}

} // namespace
