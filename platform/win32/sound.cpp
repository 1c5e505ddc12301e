// Sound output and volume. The handheld's sounds are the "\Windows\*.wav" files; desktop
// Windows keeps its wave files in its media folder, so a sound named either way is played
// from there when it is there. Device 0's volume is the program's own level on desktop
// Windows; where the system will not take it, the platform keeps it (see below).
#include "platform/sound.h"
#include "platform/text.h"
#include "platform/win32/win32_internal.h"
#include "tools/sounds/alarm_tones.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cwchar>
#include <new>
#include <string_view>
#include <utility>

namespace plat {

namespace {

constexpr DWORD FullScale = 0xFFFFFFFF;
constexpr wchar_t SystemDefault[] = L"SystemDefault";

} // namespace

namespace win32 {

LPCWSTR DesktopSoundName(LPCWSTR sound, wchar_t (&path)[MAX_PATH]) {
    // A stored name is the user's own, but a network path would have the system reach out to
    // another machine (and hand it the user's credentials) at every alarm: such a name is
    // no sound of the device's, and what plays is the system's default sound.
    if ((sound[0] == L'\\' || sound[0] == L'/') && (sound[1] == L'\\' || sound[1] == L'/'))
        return SystemDefault;
    wchar_t file[MAX_PATH];
    if (!MediaFileName(sound, true, file) || !MediaPath(file, path))
        return sound;
    DWORD attributes = ::GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return sound;
    return path;
}

// The level last recorded in the system's volume mirror; full scale when it holds none.
DWORD MirroredLevel() {
    DWORD level = 0;
    DWORD type = REG_NONE;
    DWORD size = sizeof level;
    if (::RegGetValueW(HKEY_CURRENT_USER, VolumeMirrorKey, VolumeMirrorValue,
                       RRF_RT_ANY | RRF_NOEXPAND, &type, &level, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof level)
        return FullScale;
    return level;
}

} // namespace win32

namespace {

// Who holds device 0's level. Desktop Windows reports it (it is the program's own level there),
// and the calls go to the system. A system that refuses device numbers (Wine) would leave
// every level unheard: there the platform keeps the level and sets it on its own streams.
// Decided once, at the first volume call or play, from what the system answers.
enum class LevelKeeper { Undecided, System, Platform };
LevelKeeper levelKeeper = LevelKeeper::Undecided;
DWORD keptLevel = FullScale;

bool PlatformKeepsLevel() {
    if (levelKeeper == LevelKeeper::Undecided) {
        auto get = win32::LateBound<decltype(::waveOutGetVolume)>(L"winmm.dll", "waveOutGetVolume");
        DWORD level = 0;
        levelKeeper = get && get(OutputDevice, &level) != MMSYSERR_NOERROR ? LevelKeeper::Platform
                                                                           : LevelKeeper::System;
        if (levelKeeper == LevelKeeper::Platform)
            keptLevel = win32::MirroredLevel();
    }
    return levelKeeper == LevelKeeper::Platform;
}

// A full local path, such as C:\Sounds\Bell.wav: a name that can only be a file, never an alias.
bool IsLocalFullPath(LPCWSTR name) {
    return ((name[0] >= L'A' && name[0] <= L'Z') || (name[0] >= L'a' && name[0] <= L'z')) &&
           name[1] == L':' && (name[2] == L'\\' || name[2] == L'/');
}

} // namespace

MMRESULT waveOutGetVolume(HWAVEOUT device, DWORD *volume) {
    if (device == OutputDevice && PlatformKeepsLevel()) {
        if (!volume)
            return MMSYSERR_INVALPARAM;
        *volume = keptLevel;
        return MMSYSERR_NOERROR;
    }
    auto get = win32::LateBound<decltype(::waveOutGetVolume)>(L"winmm.dll", "waveOutGetVolume");
    return get ? get(device, volume) : MMSYSERR_NODRIVER;
}

MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume) {
    if (device == OutputDevice && PlatformKeepsLevel()) {
        keptLevel = volume;
        return MMSYSERR_NOERROR;
    }
    auto set = win32::LateBound<decltype(::waveOutSetVolume)>(L"winmm.dll", "waveOutSetVolume");
    return set ? set(device, volume) : MMSYSERR_NODRIVER;
}

// The handheld's audio system takes its volume from the registry mirror; a desktop's
// waveOutSetVolume has already applied it, so there is nothing to reread.
void AudioUpdateFromRegistry() {}

namespace {

// How long a play may outlast its sound before the caller walks away from it.
constexpr DWORD ReturnMargin = 2000;

using SystemPlayer = decltype(::sndPlaySoundW);

// One synchronous play, run on a thread of the platform's own: an output that never gives the
// play back (a sound server that hangs, a device that went away) keeps that thread, not the
// caller's.
struct PlayJob {
    std::atomic<int> owners{2}; // the caller and the thread
    wchar_t *sound = nullptr;   // a copy of the caller's name
    UINT flags = 0;
    bool stream = false; // the platform keeps the level and streams wave files itself
    DWORD level = FullScale;
    std::atomic<DWORD> milliseconds{0}; // the sound's length, as far as it is known yet
    BOOL result = FALSE;
};

// How long the caller waits for the job's thread in all.
DWORD Bound(const PlayJob &job) {
    return static_cast<DWORD>(
        std::min<uint64_t>(uint64_t{ReturnMargin} + job.milliseconds, INFINITE - 1));
}

void Release(PlayJob *job) {
    if (--job->owners == 0) {
        ::HeapFree(::GetProcessHeap(), 0, job->sound);
        job->~PlayJob();
        ::HeapFree(::GetProcessHeap(), 0, job);
    }
}

// The thread of a play that the caller walked away from, until it ends.
win32::ScopedHandle stuckPlay;

// The program's own alarm tone, for a play that would otherwise be silent. Where the platform
// keeps the level, the level is in the samples: the system's player plays it at full scale.
BOOL PlayOwnTone(PlayJob &job, SystemPlayer *play) {
    const uint32_t bytes = ToneBytes(BuiltInTone);
    auto *image =
        static_cast<uint8_t *>(::HeapAlloc(::GetProcessHeap(), 0, WaveHeaderBytes + bytes));
    if (!image)
        return FALSE;
    std::array<uint8_t, WaveHeaderBytes> header = ToneWaveHeader(bytes);
    std::memcpy(image, header.data(), header.size());
    RenderTone(BuiltInTone, job.stream ? LOWORD(job.level) / 65535.0 : 1.0,
               reinterpret_cast<int16_t *>(image + WaveHeaderBytes));
    job.milliseconds += bytes * 1000 / (ToneSampleRate * sizeof(int16_t));
    BOOL played = play(reinterpret_cast<LPCWSTR>(image), SND_MEMORY | SND_NODEFAULT);
    ::HeapFree(::GetProcessHeap(), 0, image);
    return played;
}

// Whether the system's default sound is set to none, as Windows' "No Sounds" scheme sets it: an
// empty entry, for which the system's player may report a play that nobody hears.
bool DefaultSoundIsNone() {
    wchar_t file[MAX_PATH] = L"";
    DWORD size = sizeof file;
    return ::RegGetValueW(HKEY_CURRENT_USER,
                          L"AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current", nullptr,
                          RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ, nullptr, file,
                          &size) == ERROR_SUCCESS &&
           file[0] == L'\0';
}

BOOL PlayNow(PlayJob &job, SystemPlayer *play) {
    wchar_t path[MAX_PATH];
    LPCWSTR name = win32::DesktopSoundName(job.sound, path);
    // Where the platform keeps the level, a synchronous play of a wave file goes through a
    // stream of its own that carries the level; aliases, names of no file and files the stream
    // cannot open go to the system's player as they are. A file with no sound in it is no sound
    // of the device's, as a network path is not: the system's player, which can crash or loop
    // for good on one, gets its default sound instead.
    bool file = name == path || IsLocalFullPath(name);
    if (file && (job.flags & ~SND_NODEFAULT) == 0 && job.stream) {
        switch (win32::StreamWaveFile(name, job.level, nullptr, &job.milliseconds)) {
        case win32::WaveStream::Played:
            return TRUE;
        case win32::WaveStream::Malformed:
            if (job.flags & SND_NODEFAULT)
                return FALSE;
            name = SystemDefault;
            break;
        case win32::WaveStream::NotStreamed:
            break;
        }
    } else if (file) {
        job.milliseconds += win32::WaveFileMilliseconds(name);
    }
    // Neither the sound nor the system's default (a system that registers none, a scheme of
    // no sounds): the alarm must still be heard. A default set to none is not asked for.
    UINT noDefault = DefaultSoundIsNone() ? SND_NODEFAULT : 0;
    if (noDefault && !(job.flags & SND_NODEFAULT) && name == SystemDefault)
        return PlayOwnTone(job, play);
    return play(name, job.flags | noDefault) || (job.flags & SND_NODEFAULT)
               ? TRUE
               : PlayOwnTone(job, play);
}

DWORD WINAPI PlayThread(void *param) {
    auto *job = static_cast<PlayJob *>(param);
    auto play = win32::LateBound<SystemPlayer>(L"winmm.dll", "sndPlaySoundW");
    job->result = PlayNow(*job, play);
    Release(job);
    return 0;
}

} // namespace

BOOL sndPlaySoundW(LPCWSTR sound, UINT flags) {
    auto play = win32::LateBound<SystemPlayer>(L"winmm.dll", "sndPlaySoundW");
    if (!play)
        return FALSE;
    if (!sound || (flags & (SND_MEMORY | SND_ASYNC))) // stop a sound, one held in memory, or
        return play(sound, flags);                    // one that does not hold the caller up
    // An output that has not given an earlier play back takes no other: at most one thread is
    // ever left behind, and the alarm goes on without sound until the output recovers.
    if (stuckPlay) {
        if (::WaitForSingleObject(stuckPlay.Get(), 0) == WAIT_TIMEOUT)
            return FALSE;
        stuckPlay.Reset();
    }
    // The job outlives this call when the thread is left behind; the thread frees it.
    size_t length = std::wcslen(sound) + 1;
    void *memory = ::HeapAlloc(::GetProcessHeap(), 0, sizeof(PlayJob));
    if (!memory)
        return FALSE;
    auto *job = new (memory) PlayJob;
    job->sound = static_cast<wchar_t *>(::HeapAlloc(::GetProcessHeap(), 0, length * 2));
    if (!job->sound) {
        job->owners = 1;
        Release(job);
        return FALSE;
    }
    std::wmemcpy(job->sound, sound, length);
    job->flags = flags;
    job->stream = PlatformKeepsLevel();
    job->level = keptLevel;
    win32::ScopedHandle thread(::CreateThread(nullptr, 0, PlayThread, job, 0, nullptr));
    if (!thread) { // no thread to be had: the play holds up the caller, as the system's would
        BOOL result = PlayNow(*job, play);
        job->owners = 1;
        Release(job);
        return result;
    }
    // Waited for without handling messages, as the system's synchronous player is: no window
    // procedure runs in the middle of a play. The wait grows as the thread learns the sound's
    // length.
    const DWORD started = ::GetTickCount();
    BOOL result = FALSE;
    for (DWORD waited = 0; waited < Bound(*job); waited = ::GetTickCount() - started) {
        if (::WaitForSingleObject(thread.Get(), Bound(*job) - waited) == WAIT_OBJECT_0) {
            result = job->result;
            thread.Reset();
            break;
        }
    }
    if (thread)
        stuckPlay = std::move(thread); // it ends, and frees its job, if the output ever lets it go
    Release(job);
    return result;
}

} // namespace plat
