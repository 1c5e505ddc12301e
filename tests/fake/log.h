// Formatting of the fake's call log: "Name arg, arg".
#pragma once
#include "tests/fake/device.h"

#include <string>
#include <string_view>

namespace fake {

inline std::wstring Arg(HWND window) {
    return Describe(window);
}
inline std::wstring Arg(const wchar_t *text) {
    if (IS_INTRESOURCE(text))
        return L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(text));
    return L"\"" + std::wstring(text) + L"\"";
}
inline std::wstring Arg(wchar_t *text) {
    return Arg(static_cast<const wchar_t *>(text));
}
template <typename Number> std::wstring Arg(Number value) {
    return std::to_wstring(value);
}

template <typename... Args> void Log(std::wstring_view name, const Args &...args) {
    if (!device().logCalls)
        return;
    std::wstring entry(name);
    bool first = true;
    ((entry += (first ? L" " : L", ") + Arg(args), first = false), ...);
    device().calls.push_back(entry);
}

std::wstring Lower(std::wstring text);

} // namespace fake
