// The start-up shortcut: its path, when it is created or deleted, and paths that do not fit.
#include "settings/shortcut.h"
#include "tests/unit/device_test.h"

#include <algorithm>

using fake::Describe;
using fake::device;
using fake::IndexOfCall;

namespace {

const std::wstring ProgramPath = L"\\Program Files\\Nudgebell+\\nudgebellplus.exe";

class ShortcutTest : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        MainWindow = fake::OpenWindow(L"NUDGEBELLPLUS", L"Nudgebell+");
        SetModulePath(ProgramPath);
    }
    static void SetModulePath(const std::wstring &path) {
        ModulePath = {};
        std::copy(path.begin(), path.end(), ModulePath.begin());
    }
    static std::wstring ShortcutPath() {
        wchar_t path[PathCapacity];
        std::fill(std::begin(path), std::end(path), L'x');
        EXPECT_TRUE(GetShortcutPath(path));
        return path;
    }
};

TEST_F(ShortcutTest, PathIsTheStartupFolderOrTheHandheldsOwn) {
    struct Case {
        std::wstring folder;
        std::wstring path;
    };
    const Case cases[] = {
        {L"C:\\Users\\me\\Start Menu\\Programs\\Startup",
         L"C:\\Users\\me\\Start Menu\\Programs\\Startup\\Nudgebell+.lnk"},
        {L"", L"\\Windows\\StartUp\\Nudgebell+.lnk"}, // the request answered failure
        // A request that fails without writing anything leaves no stale text behind.
        {std::wstring(300, L'f'), L"\\Windows\\StartUp\\Nudgebell+.lnk"},
    };
    for (const Case &c : cases) {
        device().startupFolder = c.folder;
        device().calls.clear();
        EXPECT_EQ(ShortcutPath(), c.path) << c.folder.size();
        EXPECT_GE(IndexOfCall(L"SHGetSpecialFolderPath " + Describe(MainWindow) + L", 7, 0"), 0);
    }
}

// Creating, deleting and leaving a file not ours are end-to-end cases.
TEST_F(ShortcutTest, ClearingAnyNonzeroAutoRunDeletesAndAGoneFileIsNoError) {
    const std::wstring path = L"\\Windows\\StartUp\\Nudgebell+.lnk";
    for (auto [stored, fileBefore] : {std::pair{1u, false}, std::pair{7u, true}}) {
        SetUp();
        Settings.AutoRun = stored;
        if (fileBefore)
            device().files.push_back(path);
        ApplyAutoRun(false);
        EXPECT_EQ(Settings.AutoRun, 0u) << stored;
        EXPECT_GE(IndexOfCall(L"DeleteFileW \"" + path + L"\""), 0) << stored;
        EXPECT_TRUE(device().files.empty()) << stored;
        EXPECT_TRUE(device().messageBoxes.empty()) << stored;
    }
}

TEST_F(ShortcutTest, FailedCreateIsReportedAndStillRemembersTheTick) {
    device().shortcutResult = 0;
    bool boxOpenWhileAutoRunUnchanged = false;
    device().whileMessageBoxOpen = [&] { boxOpenWhileAutoRunUnchanged = Settings.AutoRun == 0; };
    ApplyAutoRun(true);
    ASSERT_EQ(device().messageBoxes.size(), 1u);
    const fake::MessageBoxShown &box = device().messageBoxes[0];
    EXPECT_EQ(box.owner, MainWindow);
    EXPECT_EQ(box.text, L"SHCreateShortcut() failed");
    EXPECT_EQ(box.caption, L"Nudgebell+");
    EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONHAND | MB_OK));
    EXPECT_TRUE(boxOpenWhileAutoRunUnchanged) << "the box is waited for";
    EXPECT_EQ(Settings.AutoRun, 1u);

    // While the box stays ticked nothing is tried again; clearing and ticking retries.
    device().shortcutResult = 1;
    ApplyAutoRun(true);
    EXPECT_TRUE(device().shortcuts.empty());
    ApplyAutoRun(false);
    ApplyAutoRun(true);
    EXPECT_EQ(device().shortcuts.size(), 1u);
}

TEST_F(ShortcutTest, PathsTooLongAreAFailedCreateNeverACutOne) {
    struct Case {
        size_t programLength;
        size_t folderLength;
        bool creates;
    };
    const Case cases[] = {
        {249, 16, true}, // the longest program path: a target of 260 characters
        {250, 16, false}, {259, 16, false},
        {40, 244, true}, // the longest folder: a path of 259 characters
        {40, 245, false}, {40, 259, false},
    };
    for (const Case &c : cases) {
        SetUp();
        std::wstring program = L"C:\\" + std::wstring(c.programLength - 9, L'p') + L"\\a.exe";
        SetModulePath(program);
        device().startupFolder = L"C:\\" + std::wstring(c.folderLength - 3, L's');
        ApplyAutoRun(true);
        SCOPED_TRACE(testing::Message()
                     << "program " << c.programLength << " folder " << c.folderLength);
        EXPECT_EQ(IndexOfCall(L"SHCreateShortcut") >= 0, c.creates);
        EXPECT_EQ(device().messageBoxes.size(), c.creates ? 0u : 1u);
        EXPECT_EQ(Settings.AutoRun, 1u);
        if (c.creates) {
            ASSERT_EQ(device().shortcuts.size(), 1u);
            EXPECT_EQ(device().shortcuts[0].first, device().startupFolder + L"\\Nudgebell+.lnk");
            EXPECT_EQ(device().shortcuts[0].second, L"\"" + program + L"\" /AUTORUN");
        }
    }
}

TEST_F(ShortcutTest, ProgramPathWithoutTerminatorIsNotUsed) {
    ModulePath.fill(L'p');
    ApplyAutoRun(true);
    EXPECT_EQ(IndexOfCall(L"SHCreateShortcut"), -1);
    EXPECT_EQ(device().messageBoxes.size(), 1u);
}

TEST_F(ShortcutTest, DeleteWithAFolderTooLongTouchesNoOtherFile) {
    device().startupFolder = L"C:\\" + std::wstring(250, L's');
    // What a cut-down path could have named.
    std::wstring cut = (device().startupFolder + L"\\Nudgebell+.lnk").substr(0, 259);
    device().files.push_back(cut);
    Settings.AutoRun = 1;
    ApplyAutoRun(false);
    EXPECT_EQ(IndexOfCall(L"DeleteFileW"), -1);
    EXPECT_EQ(device().files.size(), 1u);
    EXPECT_EQ(Settings.AutoRun, 0u);
    EXPECT_TRUE(device().messageBoxes.empty());
}

} // namespace
