// What the Win32 realizations share among themselves; the program never sees it.
#pragma once
#include "platform/platform.h"
#include "platform/scoped.h"

#include <atomic>
#include <string_view>

namespace plat::win32 {

// A kernel object's handle (a file, an event, a thread), closed when its holder goes.
using ScopedHandle = Scoped<HANDLE, ::CloseHandle>;

// The desktop's folder for the handheld's sounds, `%SystemRoot%\Media`, joined with `name`.
// False when the result would not fit.
bool MediaPath(std::wstring_view name, wchar_t (&path)[MAX_PATH]);

// The file that a sound named as on the handheld ("Alarm1", "\\Windows\\Alarm1.wav") is on
// the desktop, in `path`, when that file exists; "SystemDefault" for a network path; else the
// name itself, for the system to find.
LPCWSTR DesktopSoundName(LPCWSTR sound, wchar_t (&path)[MAX_PATH]);

// Device 0's level as the system's volume mirror (HKCU\ControlPanel\Volume, value "Volume")
// records it: a REG_DWORD of 4 bytes; full scale, 0xFFFFFFFF, when it holds none.
DWORD MirroredLevel();

// What became of a wave file handed to the platform's own stream.
enum class WaveStream {
    Played,
    // No wave file here, or the output takes no stream of its format: the system's player
    // may still know what to do with the name.
    NotStreamed,
    // A file with no sound in it (see wave::FindSound): no player is trusted with it.
    Malformed,
};

// Plays the wave file at the full local `path` to its end through a wave-out stream of its own
// at `level` (a volume word, set on the stream before its first sound), and returns once the
// device has played it, without dispatching messages. The stream takes the file's own format
// block; the bytes sent (whole blocks of the data chunk, never more than the file holds) go to
// `played`. Once the file is known to hold a sound, its length in milliseconds is added to
// `milliseconds`, so that a caller waiting on another thread knows how long to wait.
WaveStream StreamWaveFile(LPCWSTR path, DWORD level, DWORD *played,
                          std::atomic<DWORD> *milliseconds = nullptr);
// How long the sound of the wave file at `path` plays; 0 for a file with none, or no file.
DWORD WaveFileMilliseconds(LPCWSTR path);

// The milliseconds from local time `from` to local time `to` (negative when `to` is earlier),
// both read from the same clock: the fields alone, with no zone or daylight saving applied, so
// that a time a change repeats or skips is as far away as the clock's fields say. False for a
// field out of range.
bool LocalInterval(const SYSTEMTIME &from, const SYSTEMTIME &to, LONGLONG *milliseconds);

// A function of a system library that only some actions need (sound, the start-up folder,
// the shortcut), loaded from the system folder on its first use so that start-up does not pay
// for it. Null when the library or the function is missing.
FARPROC LateBound(const wchar_t *library, const char *name);

template <typename Function> Function *LateBound(const wchar_t *library, const char *name) {
    return reinterpret_cast<Function *>(reinterpret_cast<void *>(LateBound(library, name)));
}

} // namespace plat::win32
