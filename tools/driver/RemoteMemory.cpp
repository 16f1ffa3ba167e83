#include "RemoteMemory.h"

RemoteMemory::RemoteMemory(HWND window, size_t size) : size(size)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    process.reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (process) {
        address = ::VirtualAllocEx(process.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
}

RemoteMemory::~RemoteMemory()
{
    if (address) {
        ::VirtualFreeEx(process.get(), address, 0, MEM_RELEASE);
    }
}

bool RemoteMemory::Write(size_t offset, const void* data, size_t count)
{
    SIZE_T written = 0;
    return address && Fits(offset, count) &&
           ::WriteProcessMemory(process.get(), Address() + offset, data, count, &written) && written == count;
}

bool RemoteMemory::Read(size_t offset, void* data, size_t count) const
{
    SIZE_T read = 0;
    return address && Fits(offset, count) &&
           ::ReadProcessMemory(process.get(), Address() + offset, data, count, &read) && read == count;
}
