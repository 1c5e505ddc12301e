// Wave files from anywhere: where each one's sound lies, or that it has none; hostile sizes
// never send the walk backwards or outside the file.
#include "platform/wave_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

namespace {

using std::string;

string Le(uint32_t value, int size) {
    return string(reinterpret_cast<const char *>(&value), size);
}
// A chunk holding `body` and declaring its length, or `size`; an odd body is padded.
string Chunk(const char *id, const string &body, int64_t size = -1) {
    return id + Le(size < 0 ? body.size() : size, 4) + body + string(body.size() % 2, '\0');
}
string Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t align) {
    return Le(tag, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * align, 4) + Le(align, 2) +
           Le(bits, 2);
}
string Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t align,
           const string &tail = "") {
    return Chunk("fmt ", Format(tag, channels, rate, bits, align) + tail);
}
string Wave(const string &chunks, uint32_t riffSize = 4) {
    return "RIFF" + Le(riffSize, 4) + "WAVE" + chunks;
}
string Data(size_t size) {
    return Chunk("data", string(size, 'Z'));
}
const string Pcm = Fmt(1, 2, 8000, 16, 4), Sound = Pcm + Data(400);

// The file as the walker reads it; notes any read outside the file or not past the last one.
struct File {
    const string &bytes;
    uint64_t last = 0;
    bool outside = false, backwards = false;
};
bool Read(void *source, uint64_t offset, void *into, uint32_t length) {
    File &file = *static_cast<File *>(source);
    file.backwards |= file.last && offset <= file.last;
    file.last = offset;
    file.outside |= offset > file.bytes.size() || length > file.bytes.size() - offset;
    if (file.outside)
        return false;
    file.bytes.copy(static_cast<char *>(into), length, offset);
    return true;
}
// The data's place and size, "none" without a sound; walks that went astray say so.
string Find(const string &bytes) {
    File file{bytes};
    wave::Layout layout{};
    bool found = wave::FindSound(bytes.size(), Read, &file, layout);
    if (found && (layout.dataSize == 0 || layout.dataSize % layout.blockAlign ||
                  layout.dataAt + layout.dataSize > bytes.size()))
        return "outside the file";
    return file.outside || file.backwards ? "astray"
           : found ? std::to_string(layout.dataAt) + "+" + std::to_string(layout.dataSize)
                   : "none";
}

TEST(WaveFile, TheFirstFormatAndDataCountWhereverTheyLie) {
    string junk;
    for (int i = 0; i < 1100; ++i)
        junk += Chunk("JUNK", "");
    const std::tuple<const char *, string, string> cases[] = {
        {"Plain", Wave(Sound), "44+400"},
        {"RiffSizeZero", Wave(Sound, 0), "44+400"},
        {"RiffSizeAllOnes", Wave(Sound, ~0u), "44+400"},
        {"OddChunksPadded", Wave(Chunk("LIST", "abc") + Pcm + Chunk("fact", "x") + Data(8)),
         "66+8"},
        {"TwoDataChunks", Wave(Pcm + Data(400) + Data(800)), "44+400"},
        {"DataBeforeFormat", Wave(Data(400) + Pcm), "20+400"},
        {"DataCutShort", Wave(Pcm + Chunk("data", string(1001, 'Z'), 5000)), "44+1000"},
        {"Extensible", Wave(Fmt(0xFFFE, 2, 8000, 16, 4, Le(22, 2) + string(22, 'x')) + Data(8)),
         "68+8"},
        {"AtTheLimits", Wave(Fmt(1, 8, 384000, 32, 32) + Fmt(1, 0, 0, 0, 0) + Data(32)), "68+32"},
        {"CompressedAtTheLowestRate", Wave(Fmt(2, 1, 1000, 4, 256) + Data(256)), "44+256"},
        {"Float64", Wave(Fmt(3, 1, 8000, 64, 8) + Data(8)), "44+8"},
        {"OnlyJunk", "JUNK" + Le(0xFFFFFFF7, 4), "none"},
        {"JunkBetween", Wave(Pcm + Chunk("JUNK", "", 0xFFFFFFF7) + Data(400)), "none"},
        {"WrappingSize", Wave(Chunk("JUNK", "", 0xFFFFFFFF) + Sound), "none"},
        {"OversizedBeforeFormat", Wave(Chunk("LIST", "abcd", 0x7FFFFFF0) + Sound), "none"},
        {"ThousandsOfChunks", Wave(junk + Sound), "none"},
        {"NoData", Wave(Pcm), "none"},
        {"DataEmpty", Wave(Pcm + Data(0)), "none"},
        {"DataShorterThanABlock", Wave(Pcm + Data(3)), "none"},
        {"NoChannels", Wave(Fmt(2, 0, 8000, 4, 256) + Data(256)), "none"},
        {"NineChannels", Wave(Fmt(2, 9, 8000, 4, 256) + Data(256)), "none"},
        {"Rate999", Wave(Fmt(1, 1, 999, 16, 2) + Data(8)), "none"},
        {"Rate384001", Wave(Fmt(1, 1, 384001, 16, 2) + Data(8)), "none"},
        {"Pcm12Bits", Wave(Fmt(1, 1, 8000, 12, 1) + Data(8)), "none"},
        {"Pcm64Bits", Wave(Fmt(1, 1, 8000, 64, 8) + Data(8)), "none"},
        {"AlignUnlikeSamples", Wave(Fmt(1, 2, 8000, 16, 2) + Data(8)), "none"},
        {"AlignZero", Wave(Fmt(2, 1, 8000, 4, 0) + Data(8)), "none"},
        {"AlignBeyondBuffers", Wave(Fmt(2, 1, 8000, 4, 16400) + Data(16400)), "none"},
        {"ExtensionBeyondChunk", Wave(Fmt(2, 1, 8000, 4, 256, Le(10, 2) + "abcd") + Data(256)),
         "none"},
        {"ExtensibleOversized",
         Wave(Fmt(0xFFFE, 2, 8000, 16, 4, Le(22, 2) + string(10, 'x')) + Data(8)), "none"},
        {"ExtensibleTooShort", Wave(Fmt(0xFFFE, 2, 8000, 16, 4, Le(2, 2) + "xx") + Data(8)),
         "none"},
        {"FormatCutShort", Wave(Chunk("fmt ", Format(1, 2, 8000, 16, 4).substr(0, 14)) + Data(8)),
         "none"},
        {"FormatBeyondFile", Wave(Chunk("fmt ", Format(1, 2, 8000, 16, 4), 40)), "none"},
        {"FormatTooLarge", Wave(Fmt(2, 1, 8000, 4, 256, Le(300, 2) + string(300, 'x')) + Data(256)),
         "none"},
    };
    for (const auto &[name, bytes, expected] : cases)
        EXPECT_EQ(Find(bytes), expected) << name;
}

TEST(WaveFile, HostileFilesAreAnsweredWithinTheFile) {
    const string base = Wave(Chunk("LIST", "INFOabc") + Pcm + Chunk("fact", "abcd") + Data(600));
    const size_t sizeFields[] = {4, 16, 32, 56, 68};
    const uint32_t sizes[] = {0, 1, 0x7FFFFFFF, 0xFFFFFFF7, 0xFFFFFFFF};
    std::mt19937 random(14);
    int files = 0;
    for (; files < 3000; ++files) {
        string bytes = base;
        for (int change = random() % 3; change >= 0 && !bytes.empty(); --change) {
            uint32_t pick = random();
            if (pick % 3 == 0)
                bytes[random() % bytes.size()] ^= char(1 + random() % 255);
            else if (pick % 3 == 1)
                bytes.resize(random() % bytes.size());
            else if (size_t at = sizeFields[random() % 5]; at + 4 <= bytes.size())
                bytes.replace(at, 4, Le(random() % 2 ? sizes[random() % 5] : random(), 4));
        }
        string found = Find(bytes);
        ASSERT_TRUE(found == "none" || found.find('+') != string::npos) << files << ": " << found;
    }
    std::printf("hostile sound files: %d\n", files);
}

} // namespace
