// A handle that closes itself: the holder gives it to its closer when it goes, so that no early
// return leaks it. Move-only; null and INVALID_HANDLE_VALUE, the system's two ways of saying
// none, are never closed.
#pragma once
#include "platform/platform.h"

#include <utility>

namespace plat {

template <typename Handle, auto Close> class Scoped {
  public:
    Scoped() = default;
    explicit Scoped(Handle handle) : handle(handle) {}
    Scoped(Scoped &&other) noexcept : handle(other.Release()) {}
    Scoped &operator=(Scoped &&other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~Scoped() { Reset(); }

    explicit operator bool() const {
        return handle && handle != reinterpret_cast<Handle>(INVALID_HANDLE_VALUE);
    }
    Handle Get() const { return handle; }
    // For a call that answers the handle through a pointer; what was held is closed first.
    Handle *Receive() {
        Reset();
        return &handle;
    }
    Handle Release() { return std::exchange(handle, Handle{}); }
    void Reset(Handle next = Handle{}) {
        if (*this)
            Close(handle);
        handle = next;
    }

  private:
    Handle handle{};
};

template <typename Interface> void ReleaseObject(Interface *object) {
    object->Release();
}
// A COM object, released when its holder goes.
template <typename Interface> using ScopedObject = Scoped<Interface *, ReleaseObject<Interface>>;

} // namespace plat
