// Owners of the system's handles: each closes its handle once, as its kind is closed, and moves but never
// copies, so that no handle is closed twice or left open on a path out of a call.
#pragma once

#include <windows.h>

namespace base {

template <typename Kind>
class TUniqueHandle {
public:
    using Handle = typename Kind::Handle;

    TUniqueHandle() = default;
    explicit TUniqueHandle(Handle handle) : handle_(handle) {}
    ~TUniqueHandle() { Reset(); }
    TUniqueHandle(TUniqueHandle&& other) noexcept : handle_(other.Release()) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = other.Release();
        }
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    bool Valid() const { return handle_ != Kind::None(); }
    Handle Get() const { return handle_; }
    Handle Release() {
        const Handle handle = handle_;
        handle_ = Kind::None();
        return handle;
    }
    void Reset() {
        if (Valid()) Kind::Close(handle_);
        handle_ = Kind::None();
    }

private:
    Handle handle_ = Kind::None();
};

// What CreateFile opens: INVALID_HANDLE_VALUE when nothing was opened.
struct TFileHandleKind {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseHandle(handle); }
};
using TFileHandle = TUniqueHandle<TFileHandleKind>;

// The other kernel objects (mutexes, events, processes): null when there is none.
struct TKernelHandleKind {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { CloseHandle(handle); }
};
using TKernelHandle = TUniqueHandle<TKernelHandleKind>;

// A file search: INVALID_HANDLE_VALUE when nothing was found.
struct TFindHandleKind {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { FindClose(handle); }
};
using TFindHandle = TUniqueHandle<TFindHandleKind>;

}  // namespace base
