// Device 0's level where the system refuses it (Wine does), and wave files of every shape played
// through the platform's own stream: the play returns, having sent only what the file holds.
#include "platform/sound.h"
#include "platform/win32/win32_internal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

using plat::win32::WaveStream;

TEST(WaveStream, LevelIsReadOnceFromAFourByteDwordMirror) {
    const uint64_t value = 0x1234567880008000;
    const DWORD mirrors[][3] = {
        {REG_DWORD, 8, ~0u}, {REG_DWORD, 2, ~0u}, {REG_BINARY, 4, ~0u}, {REG_DWORD, 4, 0x80008000}};
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

// What is sent is what the file holds (through several buffers, past a data chunk claiming more),
// nothing of a file with no sound; the play returns once the output has received all of it.
TEST(WaveStream, SendsWhatTheFileHoldsAndNothingOfAFileWithNoSound) {
    namespace fs = std::filesystem;
    const fs::path path = fs::temp_directory_path() / L"stream.wav";
    const fs::path heard = "Z:" + std::string(std::getenv("DEVICE_AUDIO_HOME")) + "/sounds";
    const uint32_t cases[][3] = {{40000, 40000, 40000}, {0xFFFFFFF0, 1001, 1000}, {100, 100, 0}};
    for (auto [declared, held, sent] : cases) { // 16-bit stereo, or no channels when none sent
        std::string bytes(
            "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\1\0\2\0\x40\x1F\0\0\0\x7D\0\0\4\0\x10\0data", 40);
        bytes[22] = sent ? 2 : 0;
        std::ofstream(path, std::ios::binary)
            << bytes << std::string((char *)&declared, 4) << std::string(held, 'Z');
        DWORD played = 0;
        fs::remove_all(heard);
        fs::create_directories(heard);
        EXPECT_EQ(plat::win32::StreamWaveFile(path.c_str(), 0x4000A000, &played),
                  sent ? WaveStream::Played : WaveStream::Malformed);
        EXPECT_EQ(played, sent);
        uintmax_t received = 0; // each stream a file of its own, after a 44-byte header
        for (const fs::directory_entry &sound : fs::directory_iterator(heard))
            received += sound.path().extension() == ".wav" ? sound.file_size() - 44 : 1u << 31;
        EXPECT_EQ(received, sent) << "bytes the output received by the end of the play";
    }
    ::DeleteFileW(path.c_str());
}
