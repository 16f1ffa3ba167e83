#pragma once

#include <vector>
#include <windows.h>

namespace bench {

// Elapsed time from the performance counter, in milliseconds.
class Stopwatch {
public:
    Stopwatch() { Restart(); }
    void Restart() { ::QueryPerformanceCounter(&start_); }
    double ElapsedMs() const;

private:
    LARGE_INTEGER start_ = {};
};

// Times in milliseconds, summarised once collected.
class Samples {
public:
    void Add(double ms) { values_.push_back(ms); }
    size_t Count() const { return values_.size(); }
    double Min() const;
    double Max() const;
    // p in [0, 1]: the smallest sample that at least p of all samples do not exceed.
    double Percentile(double p) const;
    double Median() const { return Percentile(0.5); }
    size_t CountAbove(double ms) const;

private:
    std::vector<double> values_;
};

// Runs work once and adds the time it took to samples.
template <typename Work>
void TimeOnce(Samples& samples, Work work)
{
    Stopwatch watch;
    work();
    samples.Add(watch.ElapsedMs());
}

// Runs work `repeat` times and returns the samples.
template <typename Work>
Samples TimeRepeated(int repeat, Work work)
{
    Samples samples;
    for (int i = 0; i < repeat; ++i) {
        TimeOnce(samples, work);
    }
    return samples;
}

} // namespace bench
