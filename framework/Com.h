#pragma once

#include "UniqueResource.h"

#include <objbase.h>
#include <oleauto.h>
#include <utility>

namespace fw {

// Owning COM interface pointer. Creation and queries return the HRESULT; nothing throws.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ~ComPtr() { reset(); }

    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // Releases the current pointer and hands out its slot for an out-parameter.
    T** put() noexcept
    {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    void reset() noexcept
    {
        if (T* old = std::exchange(p_, nullptr)) {
            old->Release();
        }
    }

    template <typename U>
    HRESULT QueryTo(REFIID iid, ComPtr<U>& out) const noexcept
    {
        if (!p_) {
            out.reset();
            return E_POINTER;
        }
        return p_->QueryInterface(iid, out.put_void());
    }

private:
    T* p_ = nullptr;
};

template <typename T>
HRESULT CreateInProc(REFCLSID clsid, REFIID iid, ComPtr<T>& out) noexcept
{
    return ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, out.put_void());
}

// One COM use of the calling thread: CoInitialize now, CoUninitialize at the end of the
// scope only when the initialisation succeeded (S_FALSE included).
class ComInit {
public:
    ComInit() noexcept : hr_(::CoInitialize(nullptr)) {}
    ~ComInit()
    {
        if (SUCCEEDED(hr_)) {
            ::CoUninitialize();
        }
    }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;

    HRESULT Result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

struct BstrTraits {
    using Type = BSTR;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type s) noexcept { ::SysFreeString(s); }
};
using UniqueBstr = UniqueResource<BstrTraits>;

// A VARIANT that is cleared when it goes out of scope.
class UniqueVariant {
public:
    UniqueVariant() noexcept { ::VariantInit(&v_); }
    ~UniqueVariant() { ::VariantClear(&v_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;

    VARIANT* get() noexcept { return &v_; }
    VARIANT* put() noexcept
    {
        ::VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};

} // namespace fw
