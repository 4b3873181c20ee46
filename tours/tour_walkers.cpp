#include "tours/tour_walkers.h"

namespace {

// Program-wide: the time of the point before, kept from one search to the next.
uint32_t g_previousTime = 0;

} // namespace

TourTimeFinder::TourTimeFinder(Tour* tour, uint32_t stamp) : TourReader(tour), target_(stamp) {
    Read();
}

void TourTimeFinder::OnPoint(const TrackPoint& p) {
    TourReader::OnPoint(p);
    if (found_ || Version() < 7)
        return;
    const bool hit = p.time >= target_ && g_previousTime <= target_;
    g_previousTime = p.time;
    if (!hit)
        return;
    found_ = true;
    Tour* tour = GetTour();
    tour->foundPoint = p;
    tour->foundOffset = CurrentOffset();
    tour->foundDistance = distance;
    Stop();
}

const wchar_t* TourTimeFinder::GetTourPath() const {
    return found_ ? GetTour()->path : nullptr;
}

TourTimeStampCollector::TourTimeStampCollector(Tour* tour) : TourReader(tour) {
    Read();
}

void TourTimeStampCollector::OnWaypoint(const uint32_t* record, int words) {
    if ((record[0] & tur::kWaypointTypeMask) != tur::kTypeDateMark || words < 2)
        return;
    Entry e{static_cast<float>(distance / 1000.0), 0.0f, record[words - 1], 0};
    if (!entries_.empty()) {
        Entry& prev = entries_.back();
        prev.toNextKm = e.distanceKm - prev.distanceKm;
        prev.secondsToNext = e.stamp - prev.stamp;
    }
    entries_.push_back(e);
}
