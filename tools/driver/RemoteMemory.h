#pragma once

#include "framework/Handles.h"

#include <cstddef>
#include <windows.h>

// A block of memory inside the process that owns a window, for messages whose pointers the
// system does not carry across processes (the common controls' messages). Freed with the object.
class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    // False when the block could not be made.
    explicit operator bool() const { return address != nullptr; }
    // The block's address as the other process sees it.
    char* Address() const { return static_cast<char*>(address); }

    // Copies into or out of the block; false (nothing copied) when the range leaves the block.
    bool Write(size_t offset, const void* data, size_t count);
    bool Read(size_t offset, void* data, size_t count) const;

private:
    bool Fits(size_t offset, size_t count) const { return offset <= size && count <= size - offset; }

    fw::UniqueHandle process;
    void* address = nullptr;
    size_t size;
};
