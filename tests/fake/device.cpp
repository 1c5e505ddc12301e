#include "tests/fake/device.h"
#include "tests/fake/log.h"

#include <algorithm>
#include <cwctype>

namespace fake {

namespace {

Device *current = new Device;

uint64_t ToMilliseconds(const SYSTEMTIME &time) {
    FILETIME file{};
    ::SystemTimeToFileTime(&time, &file);
    return ((uint64_t(file.dwHighDateTime) << 32) | file.dwLowDateTime) / 10000;
}

} // namespace

Device &device() {
    return *current;
}

void Reset() {
    delete current;
    current = new Device;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t &c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring Describe(HWND window) {
    if (!window)
        return L"0";
    if (window == reinterpret_cast<HWND>(-1))
        return L"-1";
    for (size_t i = 0; i < device().windows.size(); ++i)
        if (device().windows[i].handle == window)
            return L"w" + std::to_wstring(i + 1);
    wchar_t text[32];
    swprintf(text, 32, L"%p", static_cast<void *>(window));
    return text;
}

Window *Find(HWND window) {
    for (Window &w : device().windows)
        if (w.handle == window && !w.destroyed)
            return &w;
    return nullptr;
}

// Even handles, so that the low bit the program may set never names another window.
HWND HandleOfWindow(size_t n) {
    return reinterpret_cast<HWND>(0x1000 + 0x10 * n);
}

HWND OpenWindow(const std::wstring &className, const std::wstring &title) {
    Window window;
    window.handle = HandleOfWindow(device().windows.size() + 1);
    window.className = className;
    window.title = title;
    window.visible = true;
    device().windows.push_back(window);
    return window.handle;
}

void CloseWindow(HWND window) {
    if (Window *w = Find(window))
        w->destroyed = true;
}

const Timer *FindTimer(HWND window, UINT_PTR id) {
    for (const Timer &timer : device().timers)
        if (timer.window == window && timer.id == id)
            return &timer;
    return nullptr;
}

void RunFor(uint64_t milliseconds) {
    const uint64_t end = device().now + milliseconds;
    for (;;) {
        Timer *next = nullptr;
        for (Timer &timer : device().timers)
            if (timer.due <= end && (!next || timer.due < next->due))
                next = &timer;
        if (!next)
            break;
        device().now = std::max(device().now, next->due);
        next->due = device().now + next->period;
        HWND window = next->window;
        UINT_PTR id = next->id;
        const uint64_t due = device().now;
        if (Window *w = Find(window); w && w->procedure)
            w->procedure(window, WM_TIMER, id, 0);
        if (device().afterTimer)
            device().afterTimer(due);
    }
    device().now = std::max(device().now, end);
}

std::vector<std::wstring> CallsStartingWith(const std::wstring &prefix) {
    std::vector<std::wstring> found;
    for (const std::wstring &call : device().calls)
        if (call.starts_with(prefix))
            found.push_back(call);
    return found;
}

int IndexOfCall(const std::wstring &prefix) {
    const auto &calls = device().calls;
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i].starts_with(prefix))
            return static_cast<int>(i);
    return -1;
}

void SetValue(const std::wstring &key, const std::wstring &name, DWORD type,
              const std::vector<BYTE> &data) {
    device().registry[Lower(key)][Lower(name)] = RegistryValue{type, data};
}

void SetDword(const std::wstring &key, const std::wstring &name, DWORD value) {
    const BYTE *bytes = reinterpret_cast<const BYTE *>(&value);
    SetValue(key, name, REG_DWORD, std::vector<BYTE>(bytes, bytes + 4));
}

const RegistryValue *GetValue(const std::wstring &key, const std::wstring &name) {
    auto k = device().registry.find(Lower(key));
    if (k == device().registry.end())
        return nullptr;
    auto v = k->second.find(Lower(name));
    return v == k->second.end() ? nullptr : &v->second;
}

bool KeyExists(const std::wstring &key) {
    return device().registry.count(Lower(key)) != 0;
}

SYSTEMTIME LocalTime() {
    uint64_t ms = ToMilliseconds(device().epoch) + device().now;
    uint64_t ticks = ms * 10000;
    FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME time{};
    ::FileTimeToSystemTime(&file, &time);
    return time;
}

void SetLocalTime(const SYSTEMTIME &time) {
    // Moves the calendar, not the clock: timers keep their distance from now.
    uint64_t ticks = (ToMilliseconds(time) - device().now) * 10000;
    FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    ::FileTimeToSystemTime(&file, &device().epoch);
}

} // namespace fake
