#include "platform/resources.h"
#include "platform/win32/win32_internal.h"

#include <array>

namespace plat {

namespace win32 {

namespace {

struct LoadedResource {
    const void *data;
    DWORD size;
};
std::array<LoadedResource, 16> loadedResources{};

} // namespace

void RememberResourceSize(const void *data, DWORD size) {
    for (LoadedResource &entry : loadedResources) {
        if (!entry.data || entry.data == data) {
            entry = {data, size};
            return;
        }
    }
}

DWORD ResourceSize(const void *data) {
    for (const LoadedResource &entry : loadedResources)
        if (entry.data == data)
            return entry.size;
    return 0;
}

FARPROC LateBound(const wchar_t *library, const char *name) {
    HMODULE module = ::GetModuleHandleW(library);
    if (!module)
        module = ::LoadLibraryW(library);
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
    HGLOBAL data = ::LoadResource(module, resource);
    if (data)
        win32::RememberResourceSize(::LockResource(data), ::SizeofResource(module, resource));
    return data;
}

} // namespace plat
