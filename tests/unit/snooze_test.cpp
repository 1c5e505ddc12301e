// The snooze keystrokes: which keys, in what order, with what pauses, and nothing else.
#include "alert/alert.h"
#include "tests/unit/device_test.h"

using fake::device;

namespace {

class Snooze : public DeviceTest {};

TEST_F(Snooze, EachChoicePostsItsDownsBetweenPrefixAndEnterWithPauses) {
    struct Case {
        DWORD choice;
        int downs; // after the Down, Down, Down, Up prefix
    };
    // Choices that name no list entry take the first one, and stay as short as it.
    const Case cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3},          {4, 4},
                          {5, 5}, {6, 0}, {9, 0}, {0x7FFFFFFF, 0}, {0xFFFFFFFF, 0}};
    for (const Case &c : cases) {
        SetUp();
        Settings.SnoozeChoice = c.choice;

        SendSnoozeKeys();

        std::vector<UINT> keys{VK_DOWN, VK_DOWN, VK_DOWN, VK_UP};
        keys.insert(keys.end(), c.downs, VK_DOWN);
        keys.push_back(VK_RETURN);
        std::vector<std::wstring> calls;
        for (size_t i = 0; i < keys.size(); ++i) {
            calls.push_back(L"PostKeybdMessage -1, " + std::to_wstring(keys[i]) + L", 128, 1");
            if (i + 1 < keys.size())
                calls.push_back(L"Sleep 50");
        }
        SCOPED_TRACE(testing::Message() << "SnoozeChoice " << c.choice);
        EXPECT_EQ(device().calls, calls) << "no key release, nothing else";
        ASSERT_EQ(device().keys.size(), keys.size());
        for (size_t i = 0; i < keys.size(); ++i) {
            const fake::KeyPost &key = device().keys[i];
            EXPECT_EQ(key.window, reinterpret_cast<HWND>(-1));
            EXPECT_EQ(key.virtualKey, keys[i]);
            EXPECT_EQ(key.flags, 0x80u);
            EXPECT_EQ(key.count, 1u);
            EXPECT_EQ(key.shiftState, 0x80u);
            EXPECT_EQ(key.character, keys[i]) << "the key code is its own character";
            EXPECT_EQ(key.at, 50u * i);
        }
        EXPECT_EQ(Settings.SnoozeChoice, c.choice) << "the setting itself is left as stored";
    }
}

} // namespace
