// A wave file played through a wave-out stream of the platform's own, so that a level can be
// set on the stream's handle where the system will not take one for the device.
#include "platform/win32/win32_internal.h"

#include <mmsystem.h>
#include <mmreg.h>

#include <algorithm>
#include <array>
#include <cwchar>

namespace plat::win32 {

namespace {

// The winmm functions a stream needs, bound together on first use.
struct Winmm {
    decltype(::mmioOpenW) *open;
    decltype(::mmioDescend) *descend;
    decltype(::mmioAscend) *ascend;
    decltype(::mmioRead) *read;
    decltype(::mmioClose) *close;
    decltype(::waveOutOpen) *outOpen;
    decltype(::waveOutSetVolume) *outSetVolume;
    decltype(::waveOutPrepareHeader) *outPrepare;
    decltype(::waveOutWrite) *outWrite;
    decltype(::waveOutUnprepareHeader) *outUnprepare;
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
        bound = Bind(calls.open, "mmioOpenW") && Bind(calls.descend, "mmioDescend") &&
                Bind(calls.ascend, "mmioAscend") && Bind(calls.read, "mmioRead") &&
                Bind(calls.close, "mmioClose") && Bind(calls.outOpen, "waveOutOpen") &&
                Bind(calls.outSetVolume, "waveOutSetVolume") &&
                Bind(calls.outPrepare, "waveOutPrepareHeader") &&
                Bind(calls.outWrite, "waveOutWrite") &&
                Bind(calls.outUnprepare, "waveOutUnprepareHeader") &&
                Bind(calls.outClose, "waveOutClose");
    return bound ? &calls : nullptr;
}

constexpr DWORD BufferBytes = 16384;
constexpr int BufferCount = 2;

// Room for any format block the wave mapper knows (PCM, extensible, the ADPCM kinds); a larger
// format chunk is no file for this stream.
union FormatBlock {
    std::array<BYTE, 256> bytes; // first, so that clearing the block clears all of it
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
    HMMIO file;
    DWORD remaining;
    DWORD blockAlign;
    HWAVEOUT out;
    DWORD sent;
};

// Whether a format block describes a sound at all. The system's converters trust these fields
// (Wine's player divides by the block alignment, its converter aborts on 0 channels), so they
// are checked before the system sees them. Buffers hold whole blocks, so a block may not
// outgrow one; uncompressed blocks hold one sample of each channel.
bool DescribesSound(const WAVEFORMATEX &format) {
    if (format.nChannels == 0 || format.nSamplesPerSec == 0 || format.nBlockAlign == 0 ||
        format.nBlockAlign > BufferBytes)
        return false;
    bool uncompressed = format.wFormatTag == WAVE_FORMAT_PCM ||
                        format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT ||
                        format.wFormatTag == WAVE_FORMAT_EXTENSIBLE;
    return !uncompressed ||
           (format.wBitsPerSample != 0 &&
            format.nBlockAlign == format.nChannels * ((format.wBitsPerSample + 7) / 8));
}

// Reads the file's format block into `format` and leaves the file at its data, whose length,
// bounded by what the file holds, goes to `length`.
WaveStream FindFormatAndData(const Winmm &mm, HMMIO file, DWORD fileSize, FormatBlock &format,
                             DWORD *length) {
    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mm.descend(file, &riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR)
        return WaveStream::NotStreamed;
    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mm.descend(file, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR ||
        chunk.cksize < sizeof(PCMWAVEFORMAT) || chunk.cksize > sizeof format ||
        chunk.cksize > fileSize - std::min(fileSize, chunk.dwDataOffset))
        return WaveStream::Malformed;
    format = {};
    LONG size = static_cast<LONG>(chunk.cksize);
    if (mm.read(file, reinterpret_cast<HPSTR>(format.bytes.data()), size) != size ||
        mm.ascend(file, &chunk, 0) != MMSYSERR_NOERROR)
        return WaveStream::Malformed;
    WAVEFORMATEX &header = format.header;
    if (chunk.cksize < sizeof(WAVEFORMATEX))
        header.cbSize = 0; // a bare PCM block has no extension
    if (header.cbSize > chunk.cksize - std::min<DWORD>(chunk.cksize, sizeof(WAVEFORMATEX)) ||
        !DescribesSound(header))
        return WaveStream::Malformed;
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mm.descend(file, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return WaveStream::Malformed;
    // A data chunk may claim more than the file holds (a copy cut short): play what is there.
    *length = std::min(chunk.cksize, fileSize - std::min(fileSize, chunk.dwDataOffset));
    *length -= *length % header.nBlockAlign;
    return WaveStream::Played;
}

// Fills `buffer` with the next whole blocks of the data and queues it. False when nothing is
// left to send, or the device takes no more.
bool Queue(Play &play, Buffer &buffer) {
    DWORD want = std::min(BufferBytes - BufferBytes % play.blockAlign, play.remaining);
    if (want == 0)
        return false;
    LONG got = play.mm.read(play.file, buffer.bytes.data(), static_cast<LONG>(want));
    DWORD length = got > 0 ? static_cast<DWORD>(got) : 0;
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
// one. The wait dispatches no messages: a play holds up its thread as the system's synchronous
// player does, so no window procedure runs in the middle of it.
void Stream(Play &play, HANDLE done) {
    std::array<Buffer, BufferCount> buffers;
    bool busy = false;
    for (Buffer &buffer : buffers)
        busy |= buffer.queued = Queue(play, buffer);
    while (busy) {
        ::WaitForSingleObject(done, INFINITE);
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

} // namespace

WaveStream StreamWaveFile(LPCWSTR path, DWORD level, DWORD *played) {
    if (played)
        *played = 0;
    const Winmm *mm = BindWinmm();
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    wchar_t name[MAX_PATH];
    if (!mm || std::wcslen(path) >= MAX_PATH ||
        !::GetFileAttributesExW(path, GetFileExInfoStandard, &attributes) ||
        (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return WaveStream::NotStreamed;
    // Reads are bounded by the file's real size; beyond 4 GB the chunk sizes bound them anyway.
    DWORD fileSize = attributes.nFileSizeHigh ? MAXDWORD : attributes.nFileSizeLow;
    std::wcscpy(name, path);
    HMMIO file = mm->open(name, nullptr, MMIO_READ | MMIO_ALLOCBUF | MMIO_DENYWRITE);
    if (!file)
        return WaveStream::NotStreamed;
    FormatBlock format;
    Play play{*mm, file, 0, 0, nullptr, 0};
    WaveStream result = FindFormatAndData(*mm, file, fileSize, format, &play.remaining);
    HANDLE done =
        result == WaveStream::Played ? ::CreateEventW(nullptr, FALSE, FALSE, nullptr) : nullptr;
    if (done &&
        mm->outOpen(&play.out, WAVE_MAPPER, &format.header, reinterpret_cast<DWORD_PTR>(done), 0,
                    CALLBACK_EVENT) == MMSYSERR_NOERROR) {
        play.blockAlign = format.header.nBlockAlign;
        // The whole word, both channels: a mono stream takes its level from the low half.
        mm->outSetVolume(play.out, level);
        Stream(play, done);
        mm->outClose(play.out);
    } else if (result == WaveStream::Played) {
        result = WaveStream::NotStreamed; // a format the output does not take, or no output
    }
    if (done)
        ::CloseHandle(done);
    mm->close(file, 0);
    if (played)
        *played = play.sent;
    return result;
}

} // namespace plat::win32
