#include "maps/zoom_scale_list.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int32_t kStartScale = 25000;

// 500, 1000, 2500, 5000, 10000, 25000, ... 250000000, then 500000000: the factors 2, 2.5, 2
// repeat, entered at the second 2.
std::vector<int32_t> StandardSeries() {
    static const double kFactors[3] = {2.5, 2.0, 2.0};
    std::vector<int32_t> series;
    double value = ZoomScaleList::kMinScale;
    for (int step = 2; value < 250000001.0; step = (step + 1) % 3) {
        series.push_back(static_cast<int32_t>(value));
        value = static_cast<double>(static_cast<int32_t>(value * kFactors[step]));
    }
    series.push_back(ZoomScaleList::kMaxScale);
    return series;
}

} // namespace

ZoomScaleList::ZoomScaleList(int32_t lowBound, int32_t highBound)
    : low_(lowBound), high_(highBound) {
    for (int32_t s : StandardSeries())
        Insert(s);
    value_ = kStartScale;
    index_ = 0;
    while (index_ < kSlots - 1 && slots_[index_] != 0 && slots_[index_] != kStartScale)
        ++index_;
}

int ZoomScaleList::Used() const {
    int n = 0;
    while (n < kSlots && slots_[n] != 0)
        ++n;
    return n;
}

// Removing the top entries, or inserting below a current value that is no longer listed, could
// leave the index on an empty slot or past the last one; a zoom step would then return scale 0.
void ZoomScaleList::KeepIndexOnEntry() {
    int used = Used();
    if (used > 0 && index_ >= used)
        index_ = used - 1;
    if (index_ < 0)
        index_ = 0;
}

void ZoomScaleList::Insert(int32_t scale) {
    if (scale < kMinScale || scale > kMaxScale)
        return;
    int at = 0;
    while (at < kSlots && slots_[at] != 0 && slots_[at] < scale)
        ++at;
    if (at == kSlots || slots_[at] == scale)
        return; // larger than every entry of a full list, or present
    for (int i = kSlots - 1; i > at; --i)
        slots_[i] = slots_[i - 1];
    slots_[at] = scale;
    if (scale < value_)
        ++index_;
    KeepIndexOnEntry();
}

void ZoomScaleList::Remove(int32_t scale) {
    int used = Used();
    int at = 0;
    while (at < used && slots_[at] != scale)
        ++at;
    if (at == used)
        return;
    for (int i = at; i < kSlots - 1; ++i)
        slots_[i] = slots_[i + 1];
    slots_[kSlots - 1] = 0;
    if (scale < value_ && index_ > 0)
        --index_;
    KeepIndexOnEntry();
}

int32_t ZoomScaleList::Find(int32_t scale) {
    int used = Used();
    for (int i = 0; i < used; ++i) {
        if (slots_[i] == scale) {
            index_ = i;
            value_ = scale;
            return scale;
        }
    }
    return 0;
}

int32_t ZoomScaleList::SelectNearest(int32_t scale) {
    int used = Used();
    if (used == 0)
        return 0;
    int best = 0;
    for (int i = 1; i < used; ++i) {
        if (std::llabs(int64_t{slots_[i]} - scale) < std::llabs(int64_t{slots_[best]} - scale))
            best = i;
    }
    index_ = best;
    value_ = slots_[best];
    return value_;
}

int ZoomScaleList::Count() const {
    return std::max(Used(), 1);
}

int32_t ZoomScaleList::ZoomIn() {
    if (Used() == 0)
        return value_;
    if (index_ > 0)
        --index_;
    value_ = slots_[index_];
    return value_;
}

int32_t ZoomScaleList::ZoomOut() {
    if (Used() == 0)
        return value_;
    if (index_ + 1 < kSlots && slots_[index_ + 1] != 0)
        ++index_;
    value_ = slots_[index_];
    return value_;
}

void ZoomScaleList::SelectIndex(int i) {
    if (i >= 0 && i < kSlots && slots_[i] != 0)
        value_ = slots_[i];
}

void ZoomScaleList::AddSeries(int32_t scale) {
    const int64_t lo = scale / 6, hi = int64_t{12} * scale;
    for (int32_t s : StandardSeries())
        if (s >= lo && s <= hi)
            Insert(s);
}

void ZoomScaleList::RemoveSeries(int32_t scale) {
    const int64_t lo = scale / 6, hi = int64_t{12} * scale;
    RemoveRange(static_cast<int32_t>(std::max<int64_t>(lo, INT32_MIN)),
                static_cast<int32_t>(std::min<int64_t>(hi, INT32_MAX)));
}

void ZoomScaleList::RemoveRange(int32_t a, int32_t b) {
    const int32_t lo = std::min(a, b), hi = std::max(a, b);
    int i = 0;
    while (i < Used()) {
        if (slots_[i] >= lo && slots_[i] <= hi)
            Remove(slots_[i]);
        else
            ++i;
    }
}
