// A wave file played through a wave-out stream of the platform's own, so that a level can be
// set on the stream's handle where the system will not take one for the device.
#include "platform/wave_file.h"
#include "platform/win32/win32_internal.h"

#include <mmsystem.h>
#include <mmreg.h>

#include <algorithm>
#include <array>
#include <cstdint>

namespace plat::win32 {

namespace {

// The winmm functions a stream needs, bound together on first use.
struct Winmm {
    decltype(::waveOutOpen) *outOpen;
    decltype(::waveOutSetVolume) *outSetVolume;
    decltype(::waveOutPrepareHeader) *outPrepare;
    decltype(::waveOutWrite) *outWrite;
    decltype(::waveOutUnprepareHeader) *outUnprepare;
    decltype(::waveOutReset) *outReset;
    decltype(::waveOutClose) *outClose;
};

template <typename Function> bool Bind(Function *&function, const char *name) {
    function = LateBound<Function>(L"winmm.dll", name);
    return function != nullptr;
}

const Winmm *BindWinmm() {
    static Winmm calls{};
    static bool bound = false;
    if (!bound)
        bound = Bind(calls.outOpen, "waveOutOpen") &&
                Bind(calls.outSetVolume, "waveOutSetVolume") &&
                Bind(calls.outPrepare, "waveOutPrepareHeader") &&
                Bind(calls.outWrite, "waveOutWrite") &&
                Bind(calls.outUnprepare, "waveOutUnprepareHeader") &&
                Bind(calls.outReset, "waveOutReset") && Bind(calls.outClose, "waveOutClose");
    return bound ? &calls : nullptr;
}

constexpr DWORD BufferBytes = wave::LargestBlock;
constexpr DWORD StreamMargin = 2000; // beyond the sound's length, for the device to play it
constexpr int BufferCount = 2;

union FormatBlock {
    std::array<BYTE, sizeof wave::Layout::format> bytes;
    WAVEFORMATEX header;
};

struct Buffer {
    WAVEHDR header;
    bool queued;
    alignas(8) std::array<char, BufferBytes> bytes;
};

// One play: the open file, the part of its data chunk still to send, the device.
struct Play {
    const Winmm &mm;
    HANDLE file;
    DWORD remaining;
    DWORD blockAlign;
    HWAVEOUT out;
    DWORD sent;
};

bool ReadFileAt(void *file, uint64_t offset, void *into, uint32_t length) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    return ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
           ::ReadFile(file, into, length, &got, nullptr) && got == length;
}

// Fills `buffer` with the next whole blocks of the data and queues it. False when nothing is
// left to send, or the device takes no more.
bool Queue(Play &play, Buffer &buffer) {
    DWORD want = std::min(BufferBytes - BufferBytes % play.blockAlign, play.remaining);
    if (want == 0)
        return false;
    DWORD length = 0;
    if (!::ReadFile(play.file, buffer.bytes.data(), want, &length, nullptr))
        length = 0;
    play.remaining = length < want ? 0 : play.remaining - length; // a short read ends the data
    length -= length % play.blockAlign;
    if (length == 0)
        return false;
    buffer.header = {};
    buffer.header.lpData = buffer.bytes.data();
    buffer.header.dwBufferLength = length;
    if (play.mm.outPrepare(play.out, &buffer.header, sizeof buffer.header) != MMSYSERR_NOERROR) {
        play.remaining = 0;
        return false;
    }
    if (play.mm.outWrite(play.out, &buffer.header, sizeof buffer.header) != MMSYSERR_NOERROR) {
        play.mm.outUnprepare(play.out, &buffer.header, sizeof buffer.header);
        play.remaining = 0;
        return false;
    }
    play.sent += length;
    return true;
}

// Sends the data through the buffers in turn and returns once the device has played the last
// one, or once `bound` milliseconds have passed: a device that went away mid-play never returns
// its buffers, and they are taken back so that the stream can close. The wait dispatches no
// messages: a play holds up its thread as the system's synchronous player does.
void Stream(Play &play, HANDLE done, DWORD bound) {
    std::array<Buffer, BufferCount> buffers;
    bool busy = false;
    for (Buffer &buffer : buffers)
        busy |= buffer.queued = Queue(play, buffer);
    for (const DWORD started = ::GetTickCount(); busy;) {
        DWORD waited = ::GetTickCount() - started;
        if (waited >= bound || ::WaitForSingleObject(done, bound - waited) != WAIT_OBJECT_0) {
            play.mm.outReset(play.out);
            for (Buffer &buffer : buffers)
                if (buffer.queued)
                    play.mm.outUnprepare(play.out, &buffer.header, sizeof buffer.header);
            return;
        }
        busy = false;
        for (Buffer &buffer : buffers) {
            if (buffer.queued && (buffer.header.dwFlags & WHDR_DONE)) {
                play.mm.outUnprepare(play.out, &buffer.header, sizeof buffer.header);
                buffer.queued = Queue(play, buffer);
            }
            busy |= buffer.queued;
        }
    }
}

// Where the data lies and how it is framed, from the file's bytes; reads go no further than
// the file's real size.
WaveStream FindFormatAndData(HANDLE file, FormatBlock &format, Play &play) {
    LARGE_INTEGER size{}, dataAt{};
    wave::Layout layout;
    if (!::GetFileSizeEx(file, &size) ||
        !wave::FindSound(static_cast<uint64_t>(size.QuadPart), ReadFileAt, file, layout))
        return WaveStream::Malformed;
    std::copy(layout.format.begin(), layout.format.end(), format.bytes.begin());
    play.blockAlign = layout.blockAlign;
    // One play sends at most 4 GB, in whole blocks.
    play.remaining = static_cast<DWORD>(
        std::min<uint64_t>(layout.dataSize, MAXDWORD - MAXDWORD % layout.blockAlign));
    dataAt.QuadPart = static_cast<LONGLONG>(layout.dataAt);
    return ::SetFilePointerEx(file, dataAt, nullptr, FILE_BEGIN) ? WaveStream::Played
                                                                 : WaveStream::Malformed;
}

ScopedHandle OpenWaveFile(LPCWSTR path) {
    return ScopedHandle(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

// How long the data found plays, in milliseconds (at most about 49 days).
DWORD Milliseconds(const FormatBlock &format, const Play &play) {
    uint64_t perSecond = uint64_t{format.header.nSamplesPerSec} * play.blockAlign;
    return static_cast<DWORD>(std::min<uint64_t>(play.remaining * 1000ull / perSecond, MAXDWORD));
}

} // namespace

DWORD WaveFileMilliseconds(LPCWSTR path) {
    ScopedHandle file = OpenWaveFile(path);
    if (!file)
        return 0;
    static const Winmm none{};
    FormatBlock format;
    Play play{none, file.Get(), 0, 0, nullptr, 0};
    return FindFormatAndData(file.Get(), format, play) == WaveStream::Played
               ? Milliseconds(format, play)
               : 0;
}

WaveStream StreamWaveFile(LPCWSTR path, DWORD level, DWORD *played,
                          std::atomic<DWORD> *milliseconds) {
    if (played)
        *played = 0;
    const Winmm *mm = BindWinmm();
    // No file here (a folder, a name of no file): the system's player may know the name.
    ScopedHandle file = mm ? OpenWaveFile(path) : ScopedHandle();
    if (!file)
        return WaveStream::NotStreamed;
    FormatBlock format;
    Play play{*mm, file.Get(), 0, 0, nullptr, 0};
    WaveStream result = FindFormatAndData(file.Get(), format, play);
    if (result == WaveStream::Played && milliseconds)
        *milliseconds += Milliseconds(format, play);
    ScopedHandle done(result == WaveStream::Played ? ::CreateEventW(nullptr, FALSE, FALSE, nullptr)
                                                   : nullptr);
    if (done &&
        mm->outOpen(&play.out, WAVE_MAPPER, &format.header, reinterpret_cast<DWORD_PTR>(done.Get()),
                    0, CALLBACK_EVENT) == MMSYSERR_NOERROR) {
        // The whole word, both channels: a mono stream takes its level from the low half.
        mm->outSetVolume(play.out, level);
        Stream(play, done.Get(),
               static_cast<DWORD>(std::min<uint64_t>(
                   uint64_t{Milliseconds(format, play)} + StreamMargin, MAXDWORD - 1)));
        mm->outClose(play.out);
    } else if (result == WaveStream::Played) {
        result = WaveStream::NotStreamed; // a format the output does not take, or no output
    }
    if (played)
        *played = play.sent;
    return result;
}

} // namespace plat::win32
