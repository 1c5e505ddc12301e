// Sound output and volume. The handheld's sounds are the "\Windows\*.wav" files; desktop
// Windows keeps its wave files in its media folder, so a sound named either way is played
// from there when it is there.
#include "platform/sound.h"
#include "platform/win32/win32_internal.h"

#include <cwchar>
#include <string_view>

namespace plat {

namespace {

constexpr std::wstring_view DeviceWindowsFolder = L"\\Windows\\";
constexpr std::wstring_view WaveExtension = L".wav";

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

} // namespace win32

// Device 0's volume. Wine answers MMSYSERR_INVALHANDLE for a device number; the failure is
// passed on, and the alarm falls back on the registry mirror.
MMRESULT waveOutGetVolume(HWAVEOUT device, DWORD *volume) {
    auto get = win32::LateBound<decltype(::waveOutGetVolume)>(L"winmm.dll", "waveOutGetVolume");
    return get ? get(device, volume) : MMSYSERR_NODRIVER;
}

MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume) {
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
    return play(win32::DesktopSoundName(sound, path), flags);
}

} // namespace plat
