#include "platform/wave_file.h"

#include <algorithm>
#include <cstring>

namespace wave {

namespace {

constexpr uint16_t Pcm = 1, Float = 3, Extensible = 0xFFFE;
constexpr uint32_t ShortestFormat = 16; // the PCM block, without the extension's size
constexpr uint32_t ExtensibleExtension = 22;
// Real files hold a handful of chunks; a walk through thousands of tiny ones is no sound.
constexpr int MostChunks = 1024;

uint32_t Word(const uint8_t *bytes, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

bool IsId(const uint8_t *bytes, const char *id) {
    return std::memcmp(bytes, id, 4) == 0;
}

// Whether the format block of a chunk of `size` bytes describes a sound. The players trust
// these fields: they divide by the block alignment, and a rate of 1 Hz would hold a
// synchronous play for days.
bool DescribesSound(const uint8_t *format, uint32_t size) {
    uint32_t tag = Word(format, 2), channels = Word(format + 2, 2), rate = Word(format + 4, 4);
    uint32_t blockAlign = Word(format + 12, 2), bits = Word(format + 14, 2);
    uint32_t extension = size >= ShortestFormat + 2 ? Word(format + 16, 2) : 0;
    if (channels < 1 || channels > 8 || rate < 1000 || rate > 384000 || blockAlign == 0 ||
        blockAlign > LargestBlock || extension > size - std::min(size, ShortestFormat + 2))
        return false;
    if ((tag == Extensible && extension < ExtensibleExtension) ||
        (tag == Pcm && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return false;
    // Uncompressed blocks hold one sample of each channel; compressed ones are the codec's.
    return (tag != Pcm && tag != Float && tag != Extensible) || blockAlign == channels * bits / 8;
}

} // namespace

bool FindSound(uint64_t fileSize, ReadAt read, void *file, Layout &layout) {
    uint8_t header[12];
    if (fileSize < sizeof header || !read(file, 0, header, sizeof header) ||
        !IsId(header, "RIFF") || !IsId(header + 8, "WAVE"))
        return false;
    // The RIFF size is not followed: streaming writers leave it 0 or 0xFFFFFFFF, and the
    // chunks themselves are checked against the real file.
    bool haveFormat = false;
    uint64_t at = sizeof header;
    for (int chunks = 0; chunks < MostChunks && at + 8 <= fileSize; ++chunks) {
        if (!read(file, at, header, 8))
            return false;
        uint64_t size = Word(header + 4, 4), body = at + 8;
        if (IsId(header, "fmt ") && !haveFormat) {
            if (size < ShortestFormat || size > layout.format.size() || size > fileSize - body)
                return false;
            layout.format = {};
            if (!read(file, body, layout.format.data(), static_cast<uint32_t>(size)) ||
                !DescribesSound(layout.format.data(), static_cast<uint32_t>(size)))
                return false;
            if (size < ShortestFormat + 2)
                layout.format[16] = layout.format[17] = 0; // a bare PCM block: no extension
            layout.blockAlign = static_cast<uint16_t>(Word(layout.format.data() + 12, 2));
            haveFormat = true;
        } else if (IsId(header, "data") && haveFormat) {
            // Players look for the data after the format, so this walk passes every chunk
            // theirs will. A data chunk may claim more than the file holds (a copy cut
            // short): what is there plays.
            layout.dataAt = body;
            layout.dataSize = std::min(size, fileSize - body);
            layout.dataSize -= layout.dataSize % layout.blockAlign;
            return layout.dataSize > 0;
        }
        at = body + size + (size & 1); // odd chunks are padded to an even size
    }
    return false;
}

} // namespace wave
