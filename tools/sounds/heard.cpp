#include "tools/sounds/heard.h"
#include "tools/sounds/alarm_tones.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numeric>

namespace {

namespace fs = std::filesystem;

// A wave file as makesounds writes it and the capture passes it on: 16-bit mono after a
// 44-byte header, whose data length a recording leaves at 0 (its data runs to the end).
std::vector<int16_t> Decode(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    std::string b{std::istreambuf_iterator<char>(in), {}};
    int rate = 0;
    if (b.size() > 44 && !b.compare(36, 4, "data") && b[22] == 1 && b[34] == 16)
        std::memcpy(&rate, b.data() + 24, sizeof rate);
    std::vector<int16_t> samples(rate == ToneSampleRate ? (b.size() - 44) / 2 : 0);
    if (!samples.empty())
        std::memcpy(samples.data(), b.data() + 44, samples.size() * 2);
    return samples; // empty for any other format
}

int Peak(const std::vector<int16_t> &samples) {
    return std::accumulate(samples.begin(), samples.end(), 0,
                           [](int peak, int s) { return std::max(peak, std::abs(s)); });
}

// The sound whose beeps, each at its pitch, make as many sign changes as were heard: another
// sound's, or a sound cut short, makes a different count.
std::wstring Identify(const std::vector<int16_t> &s) {
    int changes = 0;
    for (size_t k = 1; k < s.size(); ++k)
        changes += (s[k] < 0) != (s[k - 1] < 0);
    std::vector<AlarmTone> tones(std::begin(AlarmTones), std::end(AlarmTones));
    tones.insert(tones.end(), {DefaultTone, BuiltInTone});
    for (const AlarmTone &tone : tones) {
        double expected = 0;
        for (int b = 0; b < tone.beeps; ++b)
            expected += tone.hertz[b % 3] * ToneBeepMilliseconds / 500.0;
        if (std::fabs(changes / expected - 1) < 0.03)
            return tone.name;
    }
    return L"";
}

} // namespace

std::vector<HeardSound> HeardSounds(const fs::path &folder) {
    std::vector<HeardSound> sounds;
    std::error_code missing;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder, missing)) {
        if (entry.path().extension() != ".wav")
            continue; // still being recorded
        std::vector<int16_t> samples = Decode(entry.path());
        HeardSound sound{std::stod(entry.path().stem().string()) / 1e6, Identify(samples)};
        fs::path windows(::_wgetenv(L"WINDIR")), file = sound.alarm + L".wav";
        if (!sound.alarm.empty()) { // the default sound lives outside the media folder
            const int own = Peak(Decode(
                sound.alarm == DefaultTone.name ? windows / file : windows / L"Media" / file));
            sound.level = own ? Peak(samples) / double(own) : 0; // the program's tone has no file
        }
        sounds.push_back(sound);
    }
    std::ranges::sort(sounds, {}, &HeardSound::onset);
    return sounds;
}
