// Hostile stored values: random sets from a fixed seed through loading, a series on the
// simulated clock, the panel's show and read-back conversions, and a save.
#include "app/app.h"
#include "settings/settings.h"
#include "settings/settings_panel.h"
#include "tests/unit/seam.h"
#include "watch/watch_cycle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using seam::device;

namespace {

const std::tuple<const wchar_t *, DWORD SettingsRecord::*, DWORD> Numbers[] = { // and defaults
    {L"Play", &SettingsRecord::Play, 1},
    {L"RepeatTimes", &SettingsRecord::RepeatTimes, 3},
    {L"RepeatDelay", &SettingsRecord::RepeatDelay, 30000},
    {L"AutoSnooze", &SettingsRecord::AutoSnooze, 0},
    {L"SnoozeChoice", &SettingsRecord::SnoozeChoice, 0},
    {L"VolumeControl", &SettingsRecord::VolumeControl, 0},
    {L"AutoRun", &SettingsRecord::AutoRun, 0},
    {L"Language", &SettingsRecord::Language, 0}};

std::vector<BYTE> Bytes(const void *data, size_t size) {
    return {static_cast<const BYTE *>(data), static_cast<const BYTE *>(data) + size};
}

TEST(HostileStoredValues, LoadSeriesPanelAndSaveStaySound) {
    constexpr int Sets = 1000, Cap = 40; // ticks after the one that starts the series
    const DWORD edges[] = {0, 1, 2, 3, 4, 5, 6, 7, 1000, 1001, 4294967, 4294968, 0x80000000, ~0u};
    const DWORD types[] = {REG_DWORD, REG_DWORD, REG_SZ, REG_BINARY, REG_QWORD, REG_NONE};
    std::mt19937 random(2004);
    std::vector<wchar_t> noise(300);
    for (int set = 0; set < Sets; ++set) {
        seam::Reset();
        std::generate(noise.begin(), noise.end(), [&] { return wchar_t(random() % 3 * random()); });
        SettingsRecord expected{.Sound = {L"Alarm1"}};  // what loading must give
        for (auto [name, field, byDefault] : Numbers) { // absent, a number, or any bytes
            DWORD value = random() % 2   ? edges[random() % std::size(edges)]
                          : random() % 3 ? random() % 8
                                         : random();
            size_t size = random() % 2 ? random() % 9 : random() % 601;
            auto data = random() % 2 ? Bytes(&value, 4) : Bytes(noise.data(), size);
            expected.*field = byDefault;
            if (random() % 4 && (seam::Store(name, types[random() % 6], data), data.size() == 4))
                std::memcpy(&(expected.*field), data.data(), 4);
        }
        std::wstring text(random() % 2 ? 255 + random() % 10 : random() % 300,
                          L'a' + random() % 26);
        size_t size = (text.size() + random() % 2) * 2; // with or without its terminator
        auto sound = random() % 3 ? Bytes(text.c_str(), size) : Bytes(noise.data(), random() % 601);
        std::wstring cut(reinterpret_cast<const wchar_t *>(sound.data()),
                         std::min<size_t>(sound.size() / 2, 259));
        if (random() % 4 &&
            (seam::Store(L"Sound", types[random() % 6], sound), sound.size() <= 520))
            std::wcscpy(expected.Sound.data(), cut.c_str()); // no longer than 520 bytes loads
        SCOPED_TRACE(testing::Message() << "set " << set);

        LoadSettings();
        for (auto [name, field, byDefault] : Numbers)
            ASSERT_EQ(Settings.*field, expected.*field) << "exactly 4 bytes load: " << name;
        ASSERT_NE(std::find(Settings.Sound.begin(), Settings.Sound.end(), L'\0'),
                  Settings.Sound.end());
        ASSERT_STREQ(Settings.Sound.data(), expected.Sound.data())
            << "cut at a terminator, a half or 259";

        for (const wchar_t *title : seam::Titles)
            device.windows.insert({L"Dialog", title});
        StartWatchTimer();
        for (int tick = 0; tick <= Cap; ++tick)
            seam::Tick();
        ASSERT_EQ(device.plays.size(),
                  expected.Play ? std::min<DWORD>(expected.RepeatTimes, Cap) : 0);
        const DWORD mode = expected.VolumeControl,
                    levels[] = {seam::Kept, 0x40004000, 0xA000A000, ~0u};
        for (DWORD k = 0; k < device.plays.size(); ++k) { // Gradual: minimum, medium, then full
            const DWORD level = levels[mode == Gradual ? std::min<DWORD>(k + 1, 3)
                                       : mode < 4      ? mode
                                                       : 0];
            ASSERT_EQ(device.plays[k].level, level) << "volume mode " << mode;
            ASSERT_EQ(device.plays[k].sound, expected.Sound.data()) << "the name as loaded";
        }
        ASSERT_LE(device.keysTyped.size(), 10u);
        ASSERT_EQ(device.level, seam::Kept) << "put back";

        const DWORD delay = expected.RepeatDelay, times = expected.RepeatTimes;
        const DWORD readBack =
            SecondsToDelay(NumberFromText(std::to_wstring(DelayToSeconds(delay))));
        ASSERT_TRUE(readBack <= delay && delay - readBack < 1000) << readBack;
        ASSERT_EQ(NumberFromText(std::to_wstring(times)), times);
        ASSERT_EQ(NumberFromText(std::to_wstring(times) + L"0000000000"), times ? ~0u : 0);
        ASSERT_EQ(SecondsToDelay(times), std::min<ULONGLONG>(times * 1000ULL, ~0u)) << "saturates";

        device.registry.clear(); // what a save writes, and nothing else
        SaveSettings();
        ASSERT_EQ(device.registry.size(), 8u) << "all but Language";
        for (const auto &[name, value] : device.registry) {
            const bool isSound = name.ends_with(L"Sound");
            std::wstring_view saved(reinterpret_cast<const wchar_t *>(value.bytes.data()),
                                    value.bytes.size() / 2);
            ASSERT_EQ(value.type, DWORD(isSound ? REG_SZ : REG_DWORD)) << name;
            ASSERT_EQ(value.bytes.size(), isSound ? 2 * (saved.find(L'\0') + 1) : 4)
                << name << ": one terminator, at the end";
            ASSERT_LE(value.bytes.size(), 520u);
        }
        const SettingsRecord saved = Settings;
        Settings = SettingsRecord{};
        LoadSettings();
        for (auto [name, field, byDefault] : Numbers)
            ASSERT_EQ(Settings.*field, field == &SettingsRecord::Language ? 0 : saved.*field)
                << name;
        ASSERT_STREQ(Settings.Sound.data(), saved.Sound.data()) << "reloads as saved";
    }
    std::printf("hostile stored values: %d sets\n", Sets);
}

} // namespace
