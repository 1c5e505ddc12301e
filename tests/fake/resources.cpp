// Resources are the test program's own, compiled from the product's resource script.
#include "platform/resources.h"
#include "tests/fake/log.h"

namespace plat {

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int capacity) {
    fake::Log(L"LoadStringW", id);
    return ::LoadStringW(instance, id, buffer, capacity);
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    fake::Log(L"LoadIconW", name);
    return ::LoadIconW(instance, name);
}

HACCEL LoadAcceleratorsW(HINSTANCE instance, LPCWSTR name) {
    fake::Log(L"LoadAcceleratorsW", name);
    return ::LoadAcceleratorsW(instance, name);
}

HGDIOBJ GetStockObject(int object) {
    return ::GetStockObject(object);
}

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    fake::Log(L"FindResourceW", name, type);
    return ::FindResourceW(module, name, type);
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    return ::LoadResource(module, resource);
}

} // namespace plat
