// The little COM the desktop service needs: an owning interface pointer and the errors of object creation.
#pragma once

#include <objbase.h>

#include <utility>

#include "base/SysUtils.h"

namespace core {

// An error of the COM layer that carries only a message, such as a missing interface.
class EOleError : public base::Exception {
public:
    using base::Exception::Exception;
};

// A failed COM call: the system's text for the result code, or "OLE error %.8x" when it has none.
class EOleSysError : public EOleError {
public:
    explicit EOleSysError(HRESULT code);
    HRESULT ErrorCode() const { return code_; }

private:
    HRESULT code_;
};

// Owns one reference to an interface and releases it when it goes. Move-only, so a reference is
// released exactly once whichever way a routine is left.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }

    Interface* Get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // For out-parameters: drops the current reference and hands out the slot for a new one, typed as
    // the void** that CoCreateInstance and QueryInterface fill.
    void** Put() {
        Reset();
        return reinterpret_cast<void**>(&pointer_);
    }

    void Reset() {
        if (pointer_ != nullptr) std::exchange(pointer_, nullptr)->Release();
    }

private:
    Interface* pointer_ = nullptr;
};

}  // namespace core
