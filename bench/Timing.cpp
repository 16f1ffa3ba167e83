#include "bench/Timing.h"

#include <algorithm>
#include <cmath>

namespace bench {

double Stopwatch::ElapsedMs() const
{
    LARGE_INTEGER now = {};
    LARGE_INTEGER frequency = {};
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Samples::Min() const
{
    return values_.empty() ? 0.0 : *std::min_element(values_.begin(), values_.end());
}

double Samples::Max() const
{
    return values_.empty() ? 0.0 : *std::max_element(values_.begin(), values_.end());
}

double Samples::Percentile(double p) const
{
    if (values_.empty()) {
        return 0.0;
    }
    std::vector<double> sorted(values_);
    std::sort(sorted.begin(), sorted.end());
    const size_t rank = static_cast<size_t>(std::ceil(p * static_cast<double>(sorted.size())));
    return sorted[rank == 0 ? 0 : std::min(rank, sorted.size()) - 1];
}

size_t Samples::CountAbove(double ms) const
{
    return static_cast<size_t>(std::count_if(values_.begin(), values_.end(), [ms](double v) { return v > ms; }));
}

} // namespace bench
