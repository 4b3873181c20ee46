// The sorted scale denominators through which a map view zooms, with the current one.
#pragma once
#include <cstdint>

class ZoomScaleList {
public:
    static constexpr int kSlots = 64;
    static constexpr int32_t kMinScale = 500;
    static constexpr int32_t kMaxScale = 500000000;

    ZoomScaleList(int32_t lowBound, int32_t highBound);

    void Insert(int32_t scale);
    void Remove(int32_t scale);
    // Selects the entry equal to the scale; returns it, or 0 when absent (nothing changes).
    int32_t Find(int32_t scale);
    // Selects the used entry nearest to the scale (the lower one on a tie); returns it, or 0 on an
    // empty list (nothing changes).
    int32_t SelectNearest(int32_t scale);
    int Count() const; // 1 for an empty list
    int32_t ZoomIn();
    int32_t ZoomOut();
    int CurrentIndex() const { return index_; }
    int32_t CurrentValue() const { return value_; }
    void SelectIndex(int i);
    void AddSeries(int32_t scale);
    void RemoveSeries(int32_t scale);
    void RemoveRange(int32_t a, int32_t b);

    int32_t At(int i) const { return i >= 0 && i < kSlots ? slots_[i] : 0; }
    int32_t LowBound() const { return low_; }
    int32_t HighBound() const { return high_; }

private:
    int Used() const;
    void KeepIndexOnEntry();

    int32_t low_;
    int32_t high_;
    int32_t slots_[kSlots] = {};
    int32_t value_ = 0;
    int index_ = 0;
};
