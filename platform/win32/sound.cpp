// Sound output and volume. The handheld's sounds are the "\Windows\*.wav" files; desktop
// Windows keeps its wave files in its media folder, so a sound named either way is played
// from there when it is there. Device 0's volume is the program's own level on desktop
// Windows; where the system will not take it, the platform keeps it (see below).
#include "platform/sound.h"
#include "platform/win32/win32_internal.h"

#include <cwchar>
#include <string_view>

namespace plat {

namespace {

constexpr std::wstring_view DeviceWindowsFolder = L"\\Windows\\";
constexpr std::wstring_view WaveExtension = L".wav";
constexpr DWORD FullScale = 0xFFFFFFFF;

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           ::_wcsnicmp(text.data(), prefix.data(), prefix.size()) == 0;
}

bool EndsWith(std::wstring_view text, std::wstring_view suffix) {
    return text.size() >= suffix.size() &&
           ::_wcsicmp(text.data() + text.size() - suffix.size(), suffix.data()) == 0;
}

} // namespace

namespace win32 {

LPCWSTR DesktopSoundName(LPCWSTR sound, wchar_t (&path)[MAX_PATH]) {
    // A stored name is the user's own, but a network path would have the system reach out to
    // another machine (and hand it the user's credentials) at every alarm: such a name is
    // no sound of the device's, and what plays is the system's default sound.
    if ((sound[0] == L'\\' || sound[0] == L'/') && (sound[1] == L'\\' || sound[1] == L'/'))
        return L"SystemDefault";
    std::wstring_view name = sound;
    if (StartsWith(name, DeviceWindowsFolder) && EndsWith(name, WaveExtension)) {
        name.remove_prefix(DeviceWindowsFolder.size());
        name.remove_suffix(WaveExtension.size());
    }
    if (name.empty() || name.find_first_of(L"\\/:") != std::wstring_view::npos ||
        name.size() + WaveExtension.size() >= MAX_PATH)
        return sound;
    wchar_t file[MAX_PATH];
    std::wmemcpy(file, name.data(), name.size());
    file[name.size()] = L'\0';
    if (!EndsWith(name, WaveExtension))
        std::wcscat(file, WaveExtension.data());
    if (!MediaPath(file, path))
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

BOOL sndPlaySoundW(LPCWSTR sound, UINT flags) {
    auto play = win32::LateBound<decltype(::sndPlaySoundW)>(L"winmm.dll", "sndPlaySoundW");
    if (!play)
        return FALSE;
    if (!sound || (flags & SND_MEMORY)) // no name: stop a sound, or play one held in memory
        return play(sound, flags);
    wchar_t path[MAX_PATH];
    LPCWSTR name = win32::DesktopSoundName(sound, path);
    // Where the platform keeps the level, a synchronous play of a wave file goes through a
    // stream of its own that carries the level; aliases, names of no file and files the stream
    // cannot open go to the system's player as they are. A file with no sound in it is no sound
    // of the device's, as a network path is not: the system's player, which can crash or loop
    // for good on one, gets its default sound instead.
    bool file = name == path || IsLocalFullPath(name);
    if (file && (flags & ~SND_NODEFAULT) == 0 && PlatformKeepsLevel()) {
        switch (win32::StreamWaveFile(name, keptLevel, nullptr)) {
        case win32::WaveStream::Played:
            return TRUE;
        case win32::WaveStream::Malformed:
            if (flags & SND_NODEFAULT)
                return FALSE;
            name = L"SystemDefault";
            break;
        case win32::WaveStream::NotStreamed:
            break;
        }
    }
    return play(name, flags);
}

} // namespace plat
