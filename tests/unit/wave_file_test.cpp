// Wave files from anywhere: where each one's sound lies, or that it has none, read only inside
// the file and always forward.
#include "platform/wave_file.h"

#include <gtest/gtest.h>

namespace {

using std::string;

string Le(uint32_t value, int size = 4) {
    return string(reinterpret_cast<const char *>(&value), size);
}
// A chunk declaring the length of its body, or `size`; odd bodies padded.
string C(const char *id, const string &body, int64_t size = -1) {
    return id + Le(size < 0 ? body.size() : size) + body + string(body.size() % 2, '\0');
}
string Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t align) {
    return Le(tag, 2) + Le(channels, 2) + Le(rate) + Le(rate * align) + Le(align, 2) + Le(bits, 2);
}
string F(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t align,
         const string &extension = "") {
    return C("fmt ", Format(tag, channels, rate, bits, align) + extension);
}
string W(const string &chunks, uint32_t riffSize = 0) {
    return "RIFF" + Le(riffSize) + "WAVE" + chunks;
}
string D(size_t size) {
    return C("data", string(size, 'Z'));
}
const string Pcm = F(1, 2, 8000, 16, 4), Sound = Pcm + D(400);

uint64_t lastRead;
bool Read(void *file, uint64_t offset, void *into, uint32_t length) {
    const string &bytes = *static_cast<const string *>(file);
    EXPECT_TRUE(offset <= bytes.size() && length <= bytes.size() - offset) << "outside";
    EXPECT_TRUE(lastRead == 0 || offset > lastRead) << "back to " << offset;
    lastRead = offset;
    return offset <= bytes.size() &&
           bytes.copy(static_cast<char *>(into), length, offset) == length;
}
// Where the sound's data lies, as "offset+size", or "none".
string Find(const string &bytes) {
    wave::Layout layout{};
    lastRead = 0;
    if (!wave::FindSound(bytes.size(), Read, const_cast<string *>(&bytes), layout))
        return "none";
    EXPECT_TRUE(layout.dataSize > 0 && layout.dataSize % layout.blockAlign == 0 &&
                layout.dataAt + layout.dataSize <= bytes.size());
    return std::to_string(layout.dataAt) + "+" + std::to_string(layout.dataSize);
}

TEST(WaveFile, TheFirstFormatAndTheDataAfterItCountWhereverTheyLie) {
    string junk;
    for (int i = 0; i < 1100; ++i)
        junk += C("JUNK", "");
    const std::tuple<const char *, string, string> cases[] = {
        {"RiffSizeZero", W(Sound), "44+400"},
        {"RiffSizeAllOnes", W(Sound, ~0u), "44+400"},
        {"OddChunksBeforeFormat", W(C("LIST", "abc") + Pcm + C("fact", "x") + D(8)), "66+8"},
        {"TwoDataChunks", W(Sound + D(800)), "44+400"},
        {"DataBeforeFormat", W(D(400) + Sound), "452+400"},
        {"DataCutShort", W(Pcm + C("data", string(1001, 'Z'), 5000)), "44+1000"},
        {"Extensible", W(F(0xFFFE, 2, 8000, 16, 4, Le(22, 2) + string(22, 'x')) + D(8)), "68+8"},
        {"AtTheLimits", W(F(1, 8, 384000, 32, 32) + F(1, 0, 0, 0, 0) + D(32)), "68+32"},
        {"CompressedAt1000Hz", W(F(2, 1, 1000, 4, 256) + D(256)), "44+256"},
        {"OnlyJunk", "JUNK" + Le(0xFFFFFFF7), "none"},
        {"NotWave", "RIFF" + Le(0) + "AVI " + Sound, "none"},
        {"JunkBetween", W(Pcm + C("JUNK", "", 0xFFFFFFF7) + D(400)), "none"},
        {"WrappingSize", W(C("JUNK", "", 0xFFFFFFFF) + Sound), "none"},
        {"OversizedBeforeFormat", W(C("LIST", "abcd", 0x7FFFFFF0) + Sound), "none"},
        {"ThousandsOfChunks", W(junk + Sound), "none"},
        {"NoData", W(Pcm), "none"},
        {"DataEmpty", W(Pcm + D(0)), "none"},
        {"DataShorterThanABlock", W(Pcm + D(3)), "none"},
        {"ExtensionBeyondChunk", W(F(2, 1, 8000, 4, 256, Le(10, 2) + "abcd") + D(256)), "none"},
        {"ExtensibleOversized", W(F(0xFFFE, 2, 8000, 16, 4, Le(22, 2) + "x") + D(8)), "none"},
        {"ExtensibleTooShort", W(F(0xFFFE, 2, 8000, 16, 4, Le(2, 2) + "xx") + D(8)), "none"},
        {"FormatCutShort", W(C("fmt ", Format(2, 1, 8000, 4, 256).substr(0, 14)) + D(256)), "none"},
        {"FormatBeyondFile", W(C("fmt ", Format(1, 2, 8000, 16, 4), 40)), "none"},
        {"FormatTooLarge", W(F(2, 1, 8000, 4, 256, Le(300, 2) + string(300, 'x')) + D(256)),
         "none"},
    };
    for (const auto &[name, bytes, expected] : cases)
        EXPECT_EQ(Find(bytes), expected) << name;
    for (auto [tag, bits] : {std::pair<uint16_t, uint16_t>{1, 8}, {1, 24}, {1, 32}, {3, 32}})
        EXPECT_EQ(Find(W(F(tag, 2, 8000, bits, bits / 4) + D(24))), "44+24") << tag << "/" << bits;
    // Formats no real sound has, each with data enough for a block: tag, channels, rate, bits,
    // block alignment.
    const std::tuple<const char *, uint16_t, uint16_t, uint32_t, uint16_t, uint16_t> refused[] = {
        {"NoChannels", 2, 0, 8000, 4, 256},     {"NineChannels", 2, 9, 8000, 4, 256},
        {"Rate999", 1, 1, 999, 16, 2},          {"Rate384001", 1, 1, 384001, 16, 2},
        {"Pcm12Bits", 1, 1, 8000, 12, 1},       {"AlignUnlikeSamples", 1, 2, 8000, 16, 2},
        {"AlignZero", 2, 1, 8000, 4, 0},        {"AlignBeyondBuffers", 2, 1, 8000, 4, 16400},
        {"FloatAlignUnlike", 3, 1, 8000, 32, 2}};
    for (const auto &[name, tag, channels, rate, bits, align] : refused)
        EXPECT_EQ(Find(W(F(tag, channels, rate, bits, align) + D(16400))), "none") << name;
}

} // namespace
