#include "bench/ImportCounter.h"

#include <atomic>

namespace bench {

namespace {

template <typename T>
T* At(HMODULE module, DWORD offset)
{
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + offset);
}

bool WriteSlot(ULONG_PTR* slot, ULONG_PTR value)
{
    DWORD previous = 0;
    if (!::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous)) {
        return false;
    }
    *slot = value;
    ::VirtualProtect(slot, sizeof *slot, previous, &previous);
    return true;
}

using LstrcmpFunction = int(WINAPI*)(LPCSTR, LPCSTR);

std::atomic<long> twinComparisons{0};
std::atomic<long> monitorTests{0};
std::atomic<bool> countingMonitorTests{false};
LstrcmpFunction realLstrcmp = nullptr;

int WINAPI CountingLstrcmp(LPCSTR first, LPCSTR second)
{
    ++twinComparisons;
    return realLstrcmp(first, second);
}

// Through void (*)(), the one cast GCC accepts between unrelated function types.
template <typename Function>
Function FunctionFrom(void* address)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

template <typename Function>
void* AddressOf(Function function)
{
    return reinterpret_cast<void*>(reinterpret_cast<void (*)()>(function));
}

} // namespace

} // namespace bench

// The linker sends the library's calls of IsMonitorPortName here (--wrap of its mangled name);
// __real_ is the function itself.
extern "C" bool __real__Z17IsMonitorPortNamePKc(const char* name);
extern "C" bool __wrap__Z17IsMonitorPortNamePKc(const char* name)
{
    if (bench::countingMonitorTests) {
        ++bench::monitorTests;
    }
    return __real__Z17IsMonitorPortNamePKc(name);
}

namespace bench {

void* ReplaceImport(const char* dll, const char* function, void* replacement)
{
    HMODULE self = ::GetModuleHandleA(nullptr);
    const auto* dos = At<IMAGE_DOS_HEADER>(self, 0);
    const auto* nt = At<IMAGE_NT_HEADERS>(self, static_cast<DWORD>(dos->e_lfanew));
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) {
        return nullptr;
    }
    for (auto* descriptor = At<IMAGE_IMPORT_DESCRIPTOR>(self, directory.VirtualAddress); descriptor->Name != 0;
         ++descriptor) {
        if (::lstrcmpiA(At<char>(self, descriptor->Name), dll) != 0 || descriptor->OriginalFirstThunk == 0) {
            continue;
        }
        auto* names = At<IMAGE_THUNK_DATA>(self, descriptor->OriginalFirstThunk);
        auto* slots = At<IMAGE_THUNK_DATA>(self, descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* byName = At<IMAGE_IMPORT_BY_NAME>(self, static_cast<DWORD>(names->u1.AddressOfData));
            if (::lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                void* previous = reinterpret_cast<void*>(slots->u1.Function);
                return WriteSlot(reinterpret_cast<ULONG_PTR*>(&slots->u1.Function),
                                 reinterpret_cast<ULONG_PTR>(replacement))
                           ? previous
                           : nullptr;
            }
        }
    }
    return nullptr;
}

NameComparisonCounter::NameComparisonCounter()
{
    realLstrcmp = FunctionFrom<LstrcmpFunction>(ReplaceImport("kernel32.dll", "lstrcmpA", AddressOf(&CountingLstrcmp)));
    ok_ = realLstrcmp != nullptr;
    countingMonitorTests = ok_;
}

NameComparisonCounter::~NameComparisonCounter()
{
    if (realLstrcmp) {
        ReplaceImport("kernel32.dll", "lstrcmpA", AddressOf(realLstrcmp));
    }
    countingMonitorTests = false;
}

void NameComparisonCounter::Reset()
{
    twinComparisons = 0;
    monitorTests = 0;
}

long NameComparisonCounter::TwinNameComparisons()
{
    return twinComparisons;
}

long NameComparisonCounter::MonitorNameTests()
{
    return monitorTests;
}

} // namespace bench
