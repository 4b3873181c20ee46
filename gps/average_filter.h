// Moving averages over a fixed ring of samples with a running sum (constant time per sample).
#pragma once
#include <cstdint>
#include <vector>

template <typename Sample> class BasicAverageFilter {
public:
    // A capacity of 0 gives a filter of one sample.
    explicit BasicAverageFilter(int capacity, Sample start = 0)
        : samples_(capacity > 0 ? capacity : 1, start), sum_(start) {}

    void Add(Sample value) {
        if (full_)
            sum_ -= samples_[next_];
        samples_[next_] = value;
        sum_ += value;
        if (count_ < Capacity())
            ++count_;
        if (++next_ == Capacity()) {
            next_ = 0;
            full_ = true;
        }
    }
    // Moves every sample by delta, as when a course average crosses north.
    void Shift(Sample delta) {
        for (auto& s : samples_)
            s += delta;
        sum_ += static_cast<int64_t>(count_) * delta;
    }
    void Clear() {
        for (auto& s : samples_)
            s = 0;
        sum_ = 0;
        count_ = 0;
        next_ = 0;
        full_ = false;
    }
    void Reset() { Clear(); }

    Sample Average() const { return count_ ? static_cast<Sample>(sum_ / count_) : 0; }
    int Count() const { return count_; }
    int Capacity() const { return static_cast<int>(samples_.size()); }
    int64_t Sum() const { return sum_; }

private:
    std::vector<Sample> samples_;
    int64_t sum_; // 64 bits: 127 latitudes of 1.5e8 overflow 32 bits
    int count_ = 0;
    int next_ = 0;
    bool full_ = false;
};

using AverageFilter = BasicAverageFilter<int32_t>;
// Latitude and longitude are added sign-extended to 64 bits.
using PairAverageFilter = BasicAverageFilter<int64_t>;
