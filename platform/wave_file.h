// Where the sound lies in a wave file, decided from the file's own bytes. Files in the sound
// folder come from anywhere: every size in them is a claim, checked against the real file
// before it is followed, so that no file can hold a play in a loop or hand a player a format
// no sound has. No system call here, so that the rules are tried as tables off the device.
#pragma once
#include <array>
#include <cstdint>

namespace wave {

// Players send whole blocks from buffers of this size; no real sound has larger blocks.
constexpr uint32_t LargestBlock = 16384;

// Reads `length` bytes at `offset` of the file into `into`; false when it cannot.
using ReadAt = bool (*)(void *file, uint64_t offset, void *into, uint32_t length);

struct Layout {
    // The format block as the player takes it (a WAVEFORMATEX and its extension), zero past
    // its chunk. A larger format chunk belongs to no sound a player knows.
    std::array<uint8_t, 256> format;
    uint16_t blockAlign;
    uint64_t dataAt, dataSize; // whole blocks, all inside the file
};

// True when the file of `fileSize` bytes holds a sound: a RIFF WAVE file whose first `fmt `
// chunk describes one and whose first `data` chunk holds at least one block of it.
bool FindSound(uint64_t fileSize, ReadAt read, void *file, Layout &layout);

} // namespace wave
