// The settings panel of the real program, driven from this process: what it loads, stores and
// plays (">"), the start-up shortcut, read back through the shell, and the installer package.
#include "res/resource.h"
#include "tests/e2e/harness.h"

#include <msi.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace e2e;
using Values = std::vector<std::wstring>;

const fs::path Shortcut = fs::path(::_wgetenv(L"APPDATA")) /
                          L"Microsoft\\Windows\\Start Menu\\Programs\\Startup\\Nudgebell+.lnk";
// A copy from the ZIP beside someone's winmm.dll, which Wine is told to prefer.
const fs::path Downloads = fs::temp_directory_path() / L"Downloads";
constexpr wchar_t Overrides[] = L"Software\\Wine\\AppDefaults\\nudgebellplus.exe\\DllOverrides";
// Planted in the device's sound folder: two files that once froze the program at a play (a
// chunk of 0xFFFFFFF7 bytes, alone and between format and data).
const fs::path Media = fs::path(::_wgetenv(L"WINDIR")) / L"Media";
const std::pair<fs::path, std::string> Planted[] = {
    {Media / L"JunkOnly.wav", std::string("JUNK\xF7\xFF\xFF\xFF", 8)},
    {Media / L"JunkInside.wav",
     std::string("RIFF\x2E\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x40\x1F\0\0\x80\x3E\0\0\2\0\x10\0"
                 "JUNK\xF7\xFF\xFF\xFF"
                 "data\2\0\0\0\0\0",
                 54)}};
constexpr const wchar_t *Names[] = {L"Play",       L"RepeatTimes",  L"RepeatDelay",   L"Sound",
                                    L"AutoSnooze", L"SnoozeChoice", L"VolumeControl", L"AutoRun"};

// What the shortcut starts, as the shell reads it: the program and its arguments.
std::wstring ShortcutTarget(const fs::path &shortcut = Shortcut) {
    wchar_t path[MAX_PATH] = L"", arguments[MAX_PATH] = L"";
    IShellLinkW *link = nullptr;
    IPersistFile *file = nullptr;
    ::CoInitialize(nullptr);
    ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
    if (link && SUCCEEDED(link->QueryInterface(IID_PPV_ARGS(&file))) &&
        SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ)) &&
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
        program.Reset();
        fs::remove(Shortcut);
        for (const auto &[file, bytes] : Planted)
            fs::remove(file);
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, Overrides, L"winmm");
        fs::remove_all(Downloads);
    }
    // Starts the program and waits until its panel is filled.
    void Open(Process started = StartProgram(L"")) {
        program = std::move(started);
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
    Process program;
    HWND main = nullptr, panel = nullptr;
};

TEST_F(PanelRun, ShowsWhatItLoadedTriesTheSoundThenRunSavesWhatWasGiven) {
    const Values stored = {L"0", L"4", L"12500", L"Chimes", L"1", L"9", L"2", L"(none)"};
    for (size_t i = 0; i < 7; ++i)
        i == 3 ? WriteSetting(Names[i], stored[i]) : WriteSetting(Names[i], std::stoul(stored[i]));
    const DWORD half = 0x80008000;
    WriteValue(VolumeKey, L"Volume", &half);
    fs::create_directory(Shortcut); // in the way of the shortcut: it cannot be made
    for (const auto &[file, bytes] : Planted)
        std::ofstream(file, std::ios::binary) << bytes;
    const fs::path copy = Downloads / L"nudgebellplus.exe";
    fs::remove_all(Downloads), fs::create_directories(Downloads);
    fs::copy_file(ProgramPath(), copy);
    fs::copy_file(DevicePath(NUDGEBELL_PLANTED), Downloads / L"winmm.dll");
    ::RegSetKeyValueW(HKEY_CURRENT_USER, Overrides, L"winmm", REG_SZ, L"native,builtin", 30);
    ASSERT_NO_FATAL_FAILURE(Open(Start(copy, L"")));
    // The lists show what was stored: Chimes after Alarm1 to 3, no snooze choice 9, medium.
    for (auto [list, shown] : {std::pair{IDC_SOUND, 3}, {IDC_SNOOZE, CB_ERR}, {IDC_VOLUME, 2}})
        EXPECT_EQ(Send(list, CB_GETCURSEL), shown) << list;

    // ">" plays the listed sound at the listed level, puts the level back and saves nothing.
    Send(IDC_SOUND, CB_SELECTSTRING, WPARAM(-1), L"Alarm3");
    Send(IDC_VOLUME, CB_SETCURSEL, 1);
    StartAudioCapture();
    Click(IDC_TEST);
    EXPECT_TRUE(WaitUntil([] { return !CapturedSounds().empty(); }));
    EXPECT_FALSE(::OpenEventW(SYNCHRONIZE, FALSE, L"NudgebellPlantedLibraryLoaded")) << "planted";
    Send(IDC_PLAY, BM_GETCHECK); // answered once the play is over
    std::vector<CapturedSound> heard = CapturedSounds();
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].alarm, L"Alarm3");
    EXPECT_NEAR(heard[0].level, 0.25, 0.04);
    EXPECT_EQ(ReadValue(VolumeKey, L"Volume"), half);
    EXPECT_EQ(Stored(), stored);
    // The hostile files play the default sound, and the panel answers again at once.
    for (const wchar_t *hostile : {L"JunkOnly", L"JunkInside"}) {
        Send(IDC_SOUND, CB_SELECTSTRING, WPARAM(-1), hostile);
        ASSERT_TRUE(::SendMessageTimeoutW(::GetDlgItem(panel, IDC_TEST), BM_CLICK, 0, 0,
                                          SMTO_NORMAL, 1000, nullptr))
            << hostile;
    }

    // "Run", the lists unselected, the tick set: it saves what was loaded (12.5 s as 12, choice 9
    // as none) and changed; the user is told the shortcut cannot be made; the program goes on.
    Send(IDC_SOUND, CB_SETCURSEL, WPARAM(-1));
    Send(IDC_VOLUME, CB_SETCURSEL, WPARAM(-1));
    Send(IDC_PLAY, BM_CLICK);
    Send(IDC_AUTORUN, BM_CLICK);
    Send(IDC_TIMES, WM_SETTEXT, 0, L"5");
    Click(IDC_RUN);
    HWND box = WaitForOwnedWindow(main, L"Nudgebell+");
    ASSERT_NE(box, nullptr);
    EXPECT_NE(::FindWindowExW(box, nullptr, L"Static", L"SHCreateShortcut() failed"), nullptr);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    HWND strip = ::FindWindowW(L"NudgebellPlusMenuBar", L""); // hides with the main window
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main) && !::IsWindowVisible(strip); }));
    EXPECT_EQ(Stored(), (Values{L"1", L"5", L"12000", L"", L"1", L"-1", L"-1", L"0"}));
    EXPECT_EQ(Wait(program, 0), STILL_ACTIVE);
}

DWORD Msiexec(const std::wstring &arguments) { // quietly: its exit code
    return Wait(Start(L"C:\\windows\\system32\\msiexec.exe", arguments + L" /qn"), 60000);
}

// For the user alone; the shortcut and settings outlive an upgrade, and nothing of ours a removal.
TEST_F(PanelRun, InstalledShortcutAndSettingsOutliveAnUpgradeAndNothingOfOursARemoval) {
    const fs::path programs = fs::path(::_wgetenv(L"LOCALAPPDATA")) / L"Programs";
    const fs::path entry = Shortcut.parent_path().parent_path() / L"Nudgebell+.lnk";
    const std::wstring installed = (programs / L"Nudgebell+\\nudgebellplus.exe").wstring();
    ASSERT_EQ(Msiexec(L"/i " + DevicePath(NUDGEBELL_PACKAGE)), 0u);
    wchar_t product[39] = L"", name[40] = L"", number[40] = L"";
    DWORD sizes[] = {40, 40};
    EXPECT_FALSE(::MsiEnumProductsExW(nullptr, nullptr, MSIINSTALLCONTEXT_USERUNMANAGED, 0, product,
                                      nullptr, nullptr, nullptr));
    ::MsiGetProductInfoW(product, INSTALLPROPERTY_INSTALLEDPRODUCTNAME, name, &sizes[0]);
    ::MsiGetProductInfoW(product, INSTALLPROPERTY_VERSIONSTRING, number, &sizes[1]);
    EXPECT_EQ(std::wstring(name) + L" " + number, L"Nudgebell+ 1.1a 1.1.1"); // as the list shows
    EXPECT_EQ(ShortcutTarget(entry), installed + L" ");
    ASSERT_NO_FATAL_FAILURE(Open(Start(installed, L"")));
    Send(IDC_AUTORUN, BM_CLICK);
    Click(IDC_RUN);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main); }));
    EndAllCopies();

    ASSERT_EQ(Msiexec(L"/i " + DevicePath(NUDGEBELL_UPGRADE)), 0u);
    EXPECT_NO_FATAL_FAILURE(Open(Start(installed, L""))); // on to the removal, whatever fails
    Send(IDC_DELAY, WM_SETTEXT, 0, L"7");
    Click(IDC_EXIT);
    EXPECT_EQ(Wait(program, 10000), 0u);
    EXPECT_EQ(ShortcutTarget(), installed + L" /AUTORUN");
    EXPECT_EQ(Stored(), (Values{L"1", L"3", L"7000", L"Alarm1", L"0", L"0", L"0", L"1"}));

    ::CopyFileW(entry.c_str(), (Shortcut.parent_path() / L"Other.lnk").c_str(), 0); // another's
    EXPECT_EQ(Msiexec(L"/x " + DevicePath(NUDGEBELL_UPGRADE)), 0u);
    EXPECT_FALSE(fs::exists(programs) || fs::exists(entry) || fs::exists(Shortcut));
    EXPECT_TRUE(fs::remove(Shortcut.parent_path() / L"Other.lnk"));
    EXPECT_EQ(::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Quarnel"), ERROR_FILE_NOT_FOUND);
}

} // namespace
