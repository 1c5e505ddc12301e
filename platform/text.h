// Text in fixed buffers, and the handheld's names of its sounds. No system call here, so that
// the rules are tried as tables off the device.
#pragma once
#include <span>
#include <string_view>

namespace plat {

// Appends `text` to the terminated text in `buffer` when all of it fits with its terminator.
// False, with the buffer as it was, when it does not fit or the buffer holds no terminator.
bool Append(std::span<wchar_t> buffer, std::wstring_view text);
// `text` alone in `buffer`; false, with the buffer left empty, when it does not fit.
bool Copy(std::span<wchar_t> buffer, std::wstring_view text);

// The handheld keeps its sounds in "\Windows", desktop Windows in its media folder. The name
// there of what the handheld names "\Windows\<name>" (in any letter case) or, with
// `bareNames`, "<name>" alone; ".wav" is added to a name that does not end in it. False for a
// name of another folder (a '\', '/' or ':' in it), of none, or one that does not fit `file`,
// which is then left empty.
bool MediaFileName(std::wstring_view name, bool bareNames, std::span<wchar_t> file);

} // namespace plat
