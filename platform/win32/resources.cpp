// The program's resources, and functions of system libraries bound when first used.
#include "platform/resources.h"
#include "platform/win32/win32_internal.h"

namespace plat {

namespace win32 {

FARPROC LateBound(const wchar_t *library, const char *name) {
    HMODULE module = ::GetModuleHandleW(library);
    // From the system folder alone: a library of the same name beside the program (a copy in a
    // Downloads folder) is someone else's.
    if (!module)
        module = ::LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module ? ::GetProcAddress(module, name) : nullptr;
}

} // namespace win32

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int capacity) {
    return ::LoadStringW(instance, id, buffer, capacity);
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    return ::LoadIconW(instance, name);
}

HACCEL LoadAcceleratorsW(HINSTANCE instance, LPCWSTR name) {
    return ::LoadAcceleratorsW(instance, name);
}

HGDIOBJ GetStockObject(int object) {
    return ::GetStockObject(object);
}

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    return ::FindResourceW(module, name, type);
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    return ::LoadResource(module, resource);
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    return ::SizeofResource(module, resource);
}

} // namespace plat
