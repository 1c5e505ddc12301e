// Device 0's level where the system refuses it (Wine does), and wave files of every shape played
// through the platform's own stream: the play returns, having sent only what the file holds.
#include "platform/sound.h"
#include "platform/win32/win32_internal.h"

#include <gtest/gtest.h>

#include <cstdint>

using plat::win32::WaveStream;

TEST(WaveStream, LevelIsReadOnceFromAFourByteDwordMirror) {
    const uint64_t value = 0x1234567880008000;
    const DWORD mirrors[][3] = {
        {REG_DWORD, 8, 0xFFFFFFFF}, {REG_BINARY, 4, 0xFFFFFFFF}, {REG_DWORD, 4, 0x80008000}};
    for (const auto &[type, size, level] : mirrors) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, L"ControlPanel\\Volume", L"Volume", type, &value,
                          size);
        EXPECT_EQ(plat::win32::MirroredLevel(), level) << type << "/" << size;
    }
    DWORD level = 0;
    ASSERT_EQ(plat::waveOutGetVolume(nullptr, &level), MMSYSERR_NOERROR);
    EXPECT_EQ(level, 0x80008000u);
    // From now on the platform keeps the level: the mirror is not read again.
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"ControlPanel\\Volume", L"Volume");
    ASSERT_EQ(plat::waveOutSetVolume(nullptr, 0x4000A000), MMSYSERR_NOERROR);
    ASSERT_EQ(plat::waveOutGetVolume(nullptr, &level), MMSYSERR_NOERROR);
    EXPECT_EQ(level, 0x4000A000u);
}

struct WaveCase {
    const wchar_t *name;
    uint16_t channels, bits, blockAlign;
    uint32_t formatDeclared, formatHeld, dataDeclared, dataHeld; // no data chunk if declared 0
    WaveStream result;
    DWORD played;
} const Cases[] = {
    {L"Stereo8Bit", 2, 8, 2, 16, 16, 6000, 6000, WaveStream::Played, 6000},
    {L"Stereo16BitPastTheBuffers", 2, 16, 4, 16, 16, 40000, 40000, WaveStream::Played, 40000},
    {L"DataCutMidBlock", 1, 16, 2, 16, 16, 5000, 1001, WaveStream::Played, 1000},
    {L"DataClaimsFarMore", 1, 16, 2, 16, 16, 0xFFFFFFF0, 600, WaveStream::Played, 600},
    {L"NoDataChunk", 1, 16, 2, 16, 16, 0, 0, WaveStream::Malformed, 0},
    {L"ZeroBlockAlignment", 1, 16, 0, 16, 16, 100, 100, WaveStream::Malformed, 0},
    {L"ZeroChannels", 0, 16, 2, 16, 16, 100, 100, WaveStream::Malformed, 0},
    {L"OversizedFormat", 1, 16, 2, 0x7FFFFFF0, 16, 100, 100, WaveStream::Malformed, 0},
    {L"FormatCutShort", 1, 16, 2, 16, 10, 0, 0, WaveStream::Malformed, 0},
};

TEST(WaveStream, MalformedFilesReturnHavingSentOnlyWhatTheyHold) {
    wchar_t folder[MAX_PATH];
    ASSERT_TRUE(::GetTempPathW(MAX_PATH, folder));
    for (const WaveCase &c : Cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = "RIFF----WAVEfmt ";
        auto put = [&bytes](uint32_t value, int size) { bytes.append((char *)&value, size); };
        put(c.formatDeclared, 4), put(1, 2), put(c.channels, 2), put(8000, 4);
        put(8000 * c.blockAlign, 4), put(c.blockAlign, 2), put(c.bits, 2);
        bytes.resize(bytes.size() - 16 + c.formatHeld);
        if (c.dataDeclared)
            bytes += "data", put(c.dataDeclared, 4), bytes.append(c.dataHeld, '\x5A');
        std::wstring path = folder + std::wstring(c.name) + L".wav";
        FILE *file = _wfopen(path.c_str(), L"wb");
        ASSERT_TRUE(file && fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
        fclose(file);
        DWORD played = 0;
        EXPECT_EQ(plat::win32::StreamWaveFile(path.c_str(), 0x4000A000, &played), c.result);
        EXPECT_EQ(played, c.played);
        // A broken file plays the default sound; the system's player never sees it.
        EXPECT_TRUE(plat::sndPlaySoundW(path.c_str(), 0));
        ::DeleteFileW(path.c_str());
    }
}
