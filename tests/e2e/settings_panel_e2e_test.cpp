// The settings panel and the start-up shortcut on the real program: its dialog read and
// driven from this process, the registry and the start-up folder looked at directly.
#include "res/resource.h"
#include "tests/e2e/audio_capture.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/reminder_tool.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace e2e;

constexpr wchar_t ShortcutName[] = L"\\Nudgebell+.lnk";

std::wstring WindowsFolder(const wchar_t *sub) {
    wchar_t root[MAX_PATH] = L"";
    ::GetWindowsDirectoryW(root, MAX_PATH);
    return root + std::wstring(sub);
}
const wchar_t Media[] = L"\\Media", Aside[] = L"\\Temp\\nudgebell-media-aside";

std::vector<std::wstring> WaveFiles(const std::wstring &folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*.wav").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

void MoveAll(const std::wstring &from, const std::wstring &to,
             const std::vector<std::wstring> &names) {
    for (const std::wstring &name : names)
        EXPECT_TRUE(::MoveFileExW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(),
                                  MOVEFILE_REPLACE_EXISTING))
            << "moving " << std::string(name.begin(), name.end());
}

// Leaves only the wave files named in `keep` in the device's media folder, for as long as it
// lives; the others wait in a folder of their own (also after a run that was cut short).
class MediaFilesOnly {
  public:
    explicit MediaFilesOnly(const std::vector<std::wstring> &keep) {
        ::CreateDirectoryW(WindowsFolder(Aside).c_str(), nullptr);
        Restore();
        std::vector<std::wstring> aside;
        for (const std::wstring &name : WaveFiles(WindowsFolder(Media)))
            if (std::find(keep.begin(), keep.end(), name) == keep.end())
                aside.push_back(name);
        MoveAll(WindowsFolder(Media), WindowsFolder(Aside), aside);
    }
    ~MediaFilesOnly() { Restore(); }
    static void Restore() {
        MoveAll(WindowsFolder(Aside), WindowsFolder(Media), WaveFiles(WindowsFolder(Aside)));
    }
    MediaFilesOnly(const MediaFilesOnly &) = delete;
    MediaFilesOnly &operator=(const MediaFilesOnly &) = delete;
};

std::wstring ShortcutPath() {
    wchar_t folder[MAX_PATH] = L"";
    ::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_STARTUP, FALSE);
    return folder + std::wstring(ShortcutName);
}

bool ShortcutExists() {
    return ::GetFileAttributesW(ShortcutPath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct LinkTarget {
    std::wstring program;
    std::wstring arguments;
};

// What the shortcut file starts, as the shell reads it.
LinkTarget ReadShortcut() {
    LinkTarget target;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW *link = nullptr;
    IPersistFile *file = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     __uuidof(IShellLinkW), reinterpret_cast<void **>(&link))) &&
        SUCCEEDED(link->QueryInterface(__uuidof(IPersistFile), reinterpret_cast<void **>(&file))) &&
        SUCCEEDED(file->Load(ShortcutPath().c_str(), STGM_READ))) {
        wchar_t text[MAX_PATH] = L"";
        if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH)))
            target.program = text;
        text[0] = L'\0';
        if (SUCCEEDED(link->GetArguments(text, MAX_PATH)))
            target.arguments = text;
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    ::CoUninitialize();
    return target;
}

// The stored Sound, "(none)" when there is none.
std::wstring StoredSound() {
    wchar_t text[300] = L"(none)";
    DWORD size = sizeof text;
    ::RegGetValueW(HKEY_CURRENT_USER, SettingsKey, L"Sound", RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

DWORD Stored(const wchar_t *name) {
    DWORD value = 0xBAD;
    EXPECT_TRUE(ReadSetting(name, &value)) << std::string(name, name + wcslen(name));
    return value;
}

std::wstring TextOf(HWND control) {
    wchar_t text[300] = L"";
    ::SendMessageW(control, WM_GETTEXT, 300, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::wstring> Entries(HWND list) {
    std::vector<std::wstring> entries;
    LRESULT count = ::SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[300] = L"";
        ::SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

// The program watches once the reminder it finds makes it learn and store the language.
bool CaughtReminder() {
    Reminder reminder = OpenReminder(L"");
    DWORD language = 0;
    bool caught = WaitUntil([&] { return ReadSetting(L"Language", &language); }, 15000);
    ::PostMessageW(reminder.window, WM_CLOSE, 0, 0);
    Wait(reminder.process, 5000);
    return caught && language == 1;
}

class PanelTest : public ProgramTest {
  protected:
    void TearDown() override {
        ProgramTest::TearDown();
        ::DeleteFileW(ShortcutPath().c_str());
    }

    // Starts the program and waits until its panel is filled and the start has settled.
    void Start(const wchar_t *arguments = L"") {
        Close(program);
        program = StartProgram(arguments);
        ASSERT_NE(program.handle, nullptr);
        ::WaitForInputIdle(program.handle, 10000);
        main = WaitForWindow(ProgramClass, ProgramTitle);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(WaitUntil([&] {
            panel = ::FindWindowExW(main, nullptr, L"#32770", nullptr);
            return panel && ::SendMessageW(Item(IDC_VOLUME), CB_GETCOUNT, 0, 0) == 5;
        }));
    }

    HWND Item(int id) const { return ::GetDlgItem(panel, id); }
    std::wstring Text(int id) const { return TextOf(Item(id)); }
    void Type(int id, const wchar_t *text) const {
        ::SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    void Choose(int id, int index) const { ::SendMessageW(Item(id), CB_SETCURSEL, index, 0); }
    void Choose(int id, const wchar_t *entry) const {
        LRESULT index = ::SendMessageW(Item(id), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(entry));
        ASSERT_GE(index, 0);
        Choose(id, static_cast<int>(index));
    }
    int Selection(int id) const {
        return static_cast<int>(::SendMessageW(Item(id), CB_GETCURSEL, 0, 0));
    }
    bool Ticked(int id) const { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == 1; }
    // A click as the user makes it: the check box toggles, the button sends its command.
    void Click(int id) const { ::PostMessageW(Item(id), BM_CLICK, 0, 0); }
    void ClickCheckBox(int id) const {
        bool before = Ticked(id);
        Click(id);
        EXPECT_TRUE(WaitUntil([&] { return Ticked(id) != before; })) << id;
    }
    // "Run": read back, saved, hidden.
    void Run() {
        Click(IDC_RUN);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main); }));
    }
    // "Exit": read back, saved, ended with 0.
    void Exit() {
        Click(IDC_EXIT);
        EXPECT_EQ(Wait(program, 10000), 0u);
    }

    Process program;
    HWND main = nullptr;
    HWND panel = nullptr;
};

class SettingsPanelE2E : public PanelTest {};

TEST_F(SettingsPanelE2E, SoundListSelectsTheExactNameElseTheFirst) {
    MediaFilesOnly media({L"Alarm1.wav", L"Alarm2.wav", L"Chimes.wav"});
    struct Case {
        const wchar_t *sound, *selected;
    };
    for (const Case &c :
         {Case{L"Alarm2", L"Alarm2"}, Case{L"alarm2", L"Alarm1"}, Case{L"Chimes", L"Chimes"}}) {
        SetUp();
        WriteSetting(L"Sound", c.sound);
        ASSERT_NO_FATAL_FAILURE(Start());
        EXPECT_EQ(Entries(Item(IDC_SOUND)),
                  (std::vector<std::wstring>{L"Alarm1", L"Alarm2", L"Chimes"}));
        EXPECT_EQ(Text(IDC_SOUND), c.selected) << c.sound;
        Run();
        EXPECT_EQ(StoredSound(), c.selected) << "the next Run stores the shown name";
    }
}

TEST_F(SettingsPanelE2E, NoWaveFilesLeaveTheListEmptyAndRunStoresAnEmptySound) {
    MediaFilesOnly media({});
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(::SendMessageW(Item(IDC_SOUND), CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Selection(IDC_SOUND), CB_ERR);
    Run();
    EXPECT_EQ(StoredSound(), L"");
}

TEST_F(SettingsPanelE2E, NumberFieldsShowWholeUnitsAndReadBackAsTyped) {
    struct Case {
        const wchar_t *name;
        int id;
        DWORD stored;
        const wchar_t *shown, *typed; // typed nullptr: left as shown
        DWORD saved;
    };
    const Case cases[] = {
        {L"RepeatDelay", IDC_DELAY, 30500, L"30", nullptr, 30000},
        {L"RepeatDelay", IDC_DELAY, 999, L"0", nullptr, 0},
        {L"RepeatDelay", IDC_DELAY, 30000, L"30", L"500", 500000}, // beyond the arrows' 300
        {L"RepeatDelay", IDC_DELAY, 30000, L"30", L"", 0},
        // Too many seconds for 32-bit milliseconds: the longest interval, never a short one.
        {L"RepeatDelay", IDC_DELAY, 30000, L"30", L"4294968", 0xFFFFFFFF},
        {L"RepeatDelay", IDC_DELAY, 30000, L"30", L"99999999999", 0xFFFFFFFF},
        {L"RepeatTimes", IDC_TIMES, 4, L"4", L"", 0},
    };
    for (const Case &c : cases) {
        SetUp();
        WriteSetting(c.name, c.stored);
        ASSERT_NO_FATAL_FAILURE(Start());
        EXPECT_EQ(Text(c.id), c.shown) << c.stored;
        if (c.typed)
            Type(c.id, c.typed);
        Run();
        EXPECT_EQ(Stored(c.name), c.saved) << (c.typed ? c.typed : L"as shown");
    }
}

TEST_F(SettingsPanelE2E, StoredIndexOutsideAListLeavesItUnselectedAndReadsBackAsMinusOne) {
    WriteSetting(L"SnoozeChoice", 9);
    WriteSetting(L"VolumeControl", 7);
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(Selection(IDC_SNOOZE), CB_ERR);
    EXPECT_EQ(Selection(IDC_VOLUME), CB_ERR);
    EXPECT_EQ(Entries(Item(IDC_SNOOZE)).size(), 6u);
    Run();
    EXPECT_EQ(Stored(L"SnoozeChoice"), 0xFFFFFFFFu);
    EXPECT_EQ(Stored(L"VolumeControl"), 0xFFFFFFFFu);
}

TEST_F(SettingsPanelE2E, TestButtonStandsLevelWithTheSoundList) {
    ASSERT_NO_FATAL_FAILURE(Start());
    RECT list{}, button{};
    ::GetWindowRect(Item(IDC_SOUND), &list);
    ::GetWindowRect(Item(IDC_TEST), &button);
    EXPECT_EQ(button.top, list.top);
    EXPECT_EQ(button.bottom, list.bottom);
    EXPECT_GT(button.left, list.right - 1) << "still to the right of the list";
}

TEST_F(SettingsPanelE2E, RunSavesEveryFieldButLanguageHidesAndKeepsRunning) {
    WriteSetting(L"Language", 3);
    ASSERT_NO_FATAL_FAILURE(Start());
    // Whatever "Run" writes, it must not write the language: take it away to see.
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, SettingsKey, L"Language");
    ClickCheckBox(IDC_PLAY);
    ClickCheckBox(IDC_AUTOSNOOZE);
    Type(IDC_TIMES, L"4");
    Type(IDC_DELAY, L"12");
    Choose(IDC_SNOOZE, 2);
    Choose(IDC_VOLUME, 1);
    ASSERT_NO_FATAL_FAILURE(Choose(IDC_SOUND, L"Chimes"));
    Run();

    EXPECT_EQ(Stored(L"Play"), 0u);
    EXPECT_EQ(Stored(L"RepeatTimes"), 4u);
    EXPECT_EQ(Stored(L"RepeatDelay"), 12000u);
    EXPECT_EQ(Stored(L"AutoSnooze"), 1u);
    EXPECT_EQ(Stored(L"SnoozeChoice"), 2u);
    EXPECT_EQ(Stored(L"VolumeControl"), 1u);
    EXPECT_EQ(Stored(L"AutoRun"), 0u);
    EXPECT_EQ(StoredSound(), L"Chimes");
    DWORD language = 0;
    EXPECT_FALSE(ReadSetting(L"Language", &language));
    EXPECT_EQ(Wait(program, 1000), STILL_ACTIVE) << "hidden, it goes on running";
}

TEST_F(SettingsPanelE2E, RunStartsWatching) {
    ASSERT_NO_FATAL_FAILURE(Start());
    Run();
    EXPECT_TRUE(CaughtReminder()) << "a reminder opened after Run is caught";
}

TEST_F(SettingsPanelE2E, ExitSavesAndEndsWithZero) {
    ASSERT_NO_FATAL_FAILURE(Start());
    Type(IDC_TIMES, L"6");
    Exit();
    EXPECT_EQ(Stored(L"RepeatTimes"), 6u);
    EXPECT_EQ(Stored(L"RepeatDelay"), 30000u);
    EXPECT_EQ(ProgramWindow(), nullptr);
}

// What the sound test plays is heard through the device's audio output.
class PanelSoundE2E : public PanelTest {};

TEST_F(PanelSoundE2E, TestButtonPlaysTheListedSoundAndKeepsTheStoredVolume) {
    WriteSetting(L"VolumeControl", 1);
    WriteSetting(L"Play", 0);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Choose(IDC_SOUND, L"Chimes"));
    ASSERT_NO_FATAL_FAILURE(Choose(IDC_VOLUME, L"Set to maximum"));
    StartAudioCapture();
    Click(IDC_TEST);
    ASSERT_TRUE(WaitForSounds(1, 15000));
    std::vector<CapturedSound> heard = CapturedSounds();
    EXPECT_EQ(heard.at(0).alarm, L"Chimes") << "played whatever Play holds";
    EXPECT_EQ(Stored(L"VolumeControl"), 1u) << "the choice stays in memory";
    EXPECT_EQ(StoredSound(), L"(none)") << "nothing is saved";
    EXPECT_TRUE(::IsWindowVisible(main));
}

class StartupShortcutE2E : public PanelTest {
  protected:
    void SetUp() override {
        PanelTest::SetUp();
        ::DeleteFileW(ShortcutPath().c_str());
    }
};

TEST_F(StartupShortcutE2E, TickThenRunCreatesItClearThenExitDeletesIt) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ClickCheckBox(IDC_AUTORUN);
    Run();
    ASSERT_TRUE(ShortcutExists()) << "at "
                                  << std::string(ShortcutPath().begin(), ShortcutPath().end());
    LinkTarget target = ReadShortcut();
    EXPECT_EQ(::CompareStringOrdinal(target.program.c_str(), -1, ProgramPath().c_str(), -1, TRUE),
              CSTR_EQUAL)
        << std::string(target.program.begin(), target.program.end());
    EXPECT_EQ(target.arguments, L"/AUTORUN");
    EXPECT_EQ(Stored(L"AutoRun"), 1u);

    EndAllCopies();
    Close(program);
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_TRUE(Ticked(IDC_AUTORUN));
    ClickCheckBox(IDC_AUTORUN);
    Exit();
    EXPECT_FALSE(ShortcutExists());
    EXPECT_EQ(Stored(L"AutoRun"), 0u);
}

TEST_F(StartupShortcutE2E, OnlyAChangeOfTheTickTouchesTheFile) {
    // AutoRun 1 while the file was removed by other means: nothing is made again.
    WriteSetting(L"AutoRun", 1);
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_TRUE(Ticked(IDC_AUTORUN));
    Run();
    EXPECT_FALSE(ShortcutExists());
    EXPECT_EQ(Stored(L"AutoRun"), 1u);

    // AutoRun 0 while a file is there: not ours to delete.
    EndAllCopies();
    Close(program);
    WriteSetting(L"AutoRun", 0);
    HANDLE file = ::CreateFileW(ShortcutPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    ASSERT_NO_FATAL_FAILURE(Start());
    Run();
    EXPECT_TRUE(ShortcutExists());
}

TEST_F(StartupShortcutE2E, TickingAloneCreatesNothing) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ClickCheckBox(IDC_AUTORUN);
    ::Sleep(500);
    EXPECT_FALSE(ShortcutExists());
    // Tools -> Exit closes without reading the panel back.
    ::PostMessageW(main, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(Wait(program, 10000), 0u);
    EXPECT_FALSE(ShortcutExists());
    DWORD autoRun = 0;
    EXPECT_FALSE(ReadSetting(L"AutoRun", &autoRun));
}

TEST_F(StartupShortcutE2E, ShortcutStartsTheProgramHidden) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ClickCheckBox(IDC_AUTORUN);
    Exit();
    ASSERT_TRUE(ShortcutExists());

    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_NOCLOSEPROCESS;
    std::wstring path = ShortcutPath();
    start.lpFile = path.c_str();
    start.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(::ShellExecuteExW(&start));
    if (start.hProcess)
        ::WaitForInputIdle(start.hProcess, 10000);
    HWND window = WaitForWindow(ProgramClass, ProgramTitle);
    ASSERT_NE(window, nullptr);
    ::Sleep(300);
    EXPECT_FALSE(::IsWindowVisible(window)) << "started with /AUTORUN";
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, SettingsKey, L"Language");
    EXPECT_TRUE(CaughtReminder()) << "and watching";
    if (start.hProcess)
        ::CloseHandle(start.hProcess);
}

} // namespace
