// The device's alarm sounds, made by makesounds: each is a run of beeps at one pitch (Chimes
// steps down through three), so that a test can tell from a recording which one was played.
#pragma once
#include <array>
#include <cmath>
#include <cstdint>

struct AlarmTone {
    const wchar_t *name;
    double hertz[3]; // the pitch of the beeps; a chime uses all three in turn
    int beeps;
};

constexpr int ToneSampleRate = 22050;
constexpr int ToneBeepMilliseconds = 120;
constexpr int ToneGapMilliseconds = 60;

constexpr AlarmTone AlarmTones[] = {
    {L"Alarm1", {1000, 1000, 1000}, 3},
    {L"Alarm2", {1500, 1500, 1500}, 3},
    {L"Alarm3", {2000, 2000, 2000}, 3},
    {L"Chimes", {1320, 1050, 880}, 3},
};

// The system's default sound on the device, played for a sound that cannot be found: lower and
// shorter than any alarm. It lives in the Windows folder, outside the list of alarms.
constexpr AlarmTone DefaultTone = {L"Default", {600, 600, 600}, 2};

// The program's own alarm, played when neither the chosen sound nor the system's default can be:
// four beeps, higher than the default and lower than any alarm but Chimes' last.
constexpr AlarmTone BuiltInTone = {L"Built-in", {880, 880, 880}, 4};

constexpr int ToneBeepSamples = ToneSampleRate * ToneBeepMilliseconds / 1000;
constexpr int ToneGapSamples = ToneSampleRate * ToneGapMilliseconds / 1000;
constexpr uint32_t ToneBytes(const AlarmTone &tone) {
    return uint32_t(tone.beeps * (ToneBeepSamples + ToneGapSamples) * sizeof(int16_t));
}
constexpr size_t WaveHeaderBytes = 44;

// The 44 bytes that start a wave file of `dataBytes` of 16-bit mono samples at ToneSampleRate.
inline std::array<uint8_t, WaveHeaderBytes> ToneWaveHeader(uint32_t dataBytes) {
    std::array<uint8_t, WaveHeaderBytes> h{'R', 'I', 'F', 'F', 0,  0, 0, 0, 'W', 'A', 'V', 'E',
                                           'f', 'm', 't', ' ', 16, 0, 0, 0, 1,   0,   1,   0};
    auto put = [&h](size_t at, uint32_t value, int bytes) {
        for (int b = 0; b < bytes; ++b)
            h[at + b] = uint8_t(value >> (8 * b));
    };
    put(4, 36 + dataBytes, 4);
    put(24, ToneSampleRate, 4);
    put(28, ToneSampleRate * 2, 4); // bytes a second
    put(32, 2, 2);                  // a block: one 16-bit sample
    put(34, 16, 2);
    h[36] = 'd', h[37] = 'a', h[38] = 't', h[39] = 'a';
    put(40, dataBytes, 4);
    return h;
}

// The samples of `tone` into `samples` (ToneBytes of them), at `scale` of the alarms' amplitude.
inline void RenderTone(const AlarmTone &tone, double scale, int16_t *samples) {
    for (int b = 0; b < tone.beeps; ++b) {
        for (int i = 0; i < ToneBeepSamples; ++i) {
            // A short rise and fall keeps the beep free of clicks.
            double envelope =
                std::fmin(1.0, std::fmin(i, ToneBeepSamples - i) / (0.01 * ToneSampleRate));
            double phase = 2 * 3.14159265358979 * tone.hertz[b % 3] * i / ToneSampleRate;
            *samples++ = static_cast<int16_t>(12000 * scale * envelope * std::sin(phase));
        }
        for (int i = 0; i < ToneGapSamples; ++i)
            *samples++ = 0;
    }
}
