#pragma once

#include "UniqueResource.h"

#include <windows.h>

// One owning type per kind of Win32 handle the program takes.
namespace fw {

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

struct RegKeyTraits {
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::RegCloseKey(h); }
};
using UniqueRegKey = UniqueResource<RegKeyTraits>;

struct ServiceHandleTraits {
    using Type = SC_HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::CloseServiceHandle(h); }
};
using UniqueServiceHandle = UniqueResource<ServiceHandleTraits>;

struct GlobalMemoryTraits {
    using Type = HGLOBAL;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::GlobalFree(h); }
};
// A GMEM_FIXED block: the handle is the block's address.
using UniqueGlobal = UniqueResource<GlobalMemoryTraits>;

template <typename T>
struct GdiObjectTraits {
    using Type = T;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DeleteObject(h); }
};
using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueResource<GdiObjectTraits<HBRUSH>>;

// Allocates a zero-filled fixed block; null when the allocation fails or size is 0.
inline UniqueGlobal AllocZeroed(SIZE_T size) noexcept
{
    return UniqueGlobal(size != 0 ? ::GlobalAlloc(GPTR, size) : nullptr);
}

} // namespace fw
