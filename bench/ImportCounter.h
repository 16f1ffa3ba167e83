#pragma once

#include <windows.h>

namespace bench {

// Points this program's own import slot for dll!function at replacement and returns what the
// slot held before (null when the program does not import that function). Only code linked
// into the program calls through its slots, so a replacement sees exactly the firewall
// library's calls, none of the simulated firewall's.
void* ReplaceImport(const char* dll, const char* function, void* replacement);

// Counts the firewall library's name comparisons while it lives: the twin test of the removal
// list through its import slot of lstrcmpA, the monitor name test (code of the library's own,
// IsMonitorPortName) through a link-time wrapper of that function (bench/CMakeLists.txt).
// Ok() is false when the lstrcmpA slot could not be replaced: the program would count nothing.
class NameComparisonCounter {
public:
    NameComparisonCounter();
    ~NameComparisonCounter();
    NameComparisonCounter(const NameComparisonCounter&) = delete;
    NameComparisonCounter& operator=(const NameComparisonCounter&) = delete;

    bool Ok() const { return ok_; }
    static void Reset();
    static long TwinNameComparisons();
    static long MonitorNameTests();

private:
    bool ok_ = false;
};

} // namespace bench
