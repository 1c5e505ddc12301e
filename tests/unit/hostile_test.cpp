// Hostile stored values: random sets from a fixed seed through loading, a series on the
// simulated clock, the panel's show and read-back conversions, and a save.
#include "app/app.h"
#include "settings/settings.h"
#include "settings/settings_panel.h"
#include "tests/unit/seam.h"
#include "watch/watch_cycle.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    const DWORD edges[] = {0, 1, 2, 3, 4, 5, 6, 7, 1000, 1001, 0x7FFFFFFF, 0x80000000, ~0u};
    const DWORD types[] = {REG_DWORD, REG_DWORD, REG_SZ, REG_BINARY, REG_QWORD, REG_NONE};
    std::mt19937 random(2004);
    std::vector<wchar_t> noise(300);
    for (int set = 0; set < Sets; ++set) {
        seam::Reset();
        std::generate(noise.begin(), noise.end(), [&] { return wchar_t(random()); });
        for (auto [name, field, byDefault] : Numbers) { // absent, a number, or any bytes
            DWORD value = random() % 2   ? edges[random() % 13]
                          : random() % 3 ? random() % 8
                                         : random();
            if (int kind = random() % 4)
                seam::Store(name, types[random() % 6],
                            kind == 1 ? Bytes(noise.data(), random() % 601) : Bytes(&value, 4));
        }
        std::wstring text(random() % 300, L'a' + random() % 26);
        size_t size = (text.size() + random() % 2) * 2; // with or without a terminator
        if (int kind = random() % 4)                    // absent, text, or any bytes
            seam::Store(L"Sound", types[random() % 6],
                        kind == 1 ? Bytes(noise.data(), random() % 601)
                                  : Bytes(text.c_str(), size));
        const auto stored = device.registry;
        auto find = [&](const wchar_t *name) {
            return stored.find(seam::SettingsKey + std::wstring(name));
        };
        SCOPED_TRACE(testing::Message() << "set " << set);

        LoadSettings();
        for (auto [name, field, byDefault] : Numbers) {
            auto found = find(name);
            if (found == stored.end() || found->second.bytes.size() != 4)
                ASSERT_EQ(Settings.*field, byDefault) << "as absent";
            else
                ASSERT_EQ(Bytes(&(Settings.*field), 4), found->second.bytes);
        }
        ASSERT_NE(std::find(Settings.Sound.begin(), Settings.Sound.end(), L'\0'),
                  Settings.Sound.end());
        if (auto found = find(L"Sound");
            found != stored.end() && found->second.bytes.size() <= 520) {
            const auto &data = found->second.bytes;
            std::wstring text(reinterpret_cast<const wchar_t *>(data.data()),
                              std::min<size_t>(data.size() / 2, 259));
            ASSERT_EQ(Settings.Sound.data(), std::wstring(text.c_str()))
                << "cut at a terminator, a half or 259";
        } else {
            ASSERT_STREQ(Settings.Sound.data(), L"Alarm1") << "absent, or too long to load";
        }

        const SettingsRecord loaded = Settings;
        for (const wchar_t *title : seam::Titles)
            device.windows.insert({L"Dialog", title});
        StartWatchTimer();
        for (int tick = 0; tick <= Cap; ++tick)
            seam::Tick();
        ASSERT_EQ(device.plays.size(), loaded.Play ? std::min<DWORD>(loaded.RepeatTimes, Cap) : 0);
        ASSERT_LE(device.keysTyped.size(), 10u);
        ASSERT_EQ(device.level, seam::Kept) << "put back";

        const DWORD delay =
            SecondsToDelay(NumberFromText(std::to_wstring(DelayToSeconds(loaded.RepeatDelay))));
        ASSERT_TRUE(delay <= loaded.RepeatDelay && loaded.RepeatDelay - delay < 1000) << delay;
        const std::wstring times = std::to_wstring(loaded.RepeatTimes);
        ASSERT_EQ(NumberFromText(times), loaded.RepeatTimes);
        ASSERT_EQ(NumberFromText(times + L"0000000000"), loaded.RepeatTimes ? ~0u : 0);

        device.registry.clear(); // what a save writes, and nothing else
        SaveSettings();
        ASSERT_EQ(device.registry.size(), 8u) << "all but Language";
        for (const auto &[name, value] : device.registry) {
            const bool sound = name.ends_with(L"Sound");
            std::wstring_view text(reinterpret_cast<const wchar_t *>(value.bytes.data()),
                                   value.bytes.size() / 2);
            ASSERT_EQ(value.type, DWORD(sound ? REG_SZ : REG_DWORD)) << name;
            ASSERT_EQ(value.bytes.size(), sound ? 2 * (text.find(L'\0') + 1) : 4)
                << name << ": one terminator, at the end";
            ASSERT_LE(value.bytes.size(), 520u);
        }
        SettingsRecord saved = Settings;
        Settings = SettingsRecord{};
        LoadSettings();
        saved.Language = Settings.Language;
        ASSERT_EQ(std::memcmp(&saved, &Settings, sizeof saved), 0) << "reloads as saved";
    }
    std::printf("hostile stored values: %d sets\n", Sets);
}

} // namespace
