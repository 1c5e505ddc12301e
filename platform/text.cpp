// Text in fixed buffers, and the handheld's names of its sounds.
#include "platform/text.h"

#include <algorithm>

namespace plat {

namespace {

constexpr std::wstring_view SoundFolder = L"\\Windows\\";
constexpr std::wstring_view WaveExtension = L".wav";

// Letter case as the file system ignores it, for the ASCII names compared here.
bool SameLetters(std::wstring_view a, std::wstring_view b) {
    auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; };
    return std::ranges::equal(a, b, {}, fold, fold);
}

// Whether `name` begins (or, `atEnd`, ends) with `part`, letter case aside. Views are cut by hand:
// substr() could throw, and its throw would bring the runtime's error formatting into the program.
bool HasLetters(std::wstring_view name, std::wstring_view part, bool atEnd = false) {
    return name.size() >= part.size() &&
           SameLetters({name.data() + (atEnd ? name.size() - part.size() : 0), part.size()}, part);
}

} // namespace

bool Append(std::span<wchar_t> buffer, std::wstring_view text) {
    auto end = std::find(buffer.begin(), buffer.end(), L'\0'); // none: no room at all
    if (text.size() >= size_t(buffer.end() - end))
        return false;
    *std::copy(text.begin(), text.end(), end) = L'\0';
    return true;
}

bool Copy(std::span<wchar_t> buffer, std::wstring_view text) {
    if (buffer.empty())
        return false;
    buffer[0] = L'\0';
    return Append(buffer, text);
}

bool MediaFileName(std::wstring_view name, bool bareNames, std::span<wchar_t> file) {
    if (!Copy(file, L""))
        return false;
    if (HasLetters(name, SoundFolder))
        name.remove_prefix(SoundFolder.size());
    else if (!bareNames)
        return false;
    bool extended = name.size() > WaveExtension.size() && HasLetters(name, WaveExtension, true);
    if (name.empty() || SameLetters(name, WaveExtension) ||
        name.find_first_of(L"\\/:") != std::wstring_view::npos)
        return false;
    if (!Copy(file, name))
        return false;
    if (extended || Append(file, WaveExtension))
        return true;
    file[0] = L'\0';
    return false;
}

} // namespace plat
