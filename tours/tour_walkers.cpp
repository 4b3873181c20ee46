#include "tours/tour_walkers.h"

#include <cstdlib>

#include "views/tracking_view.h"

namespace {

// Program-wide: the time of the point before, kept from one search to the next.
uint32_t g_previousTime = 0;

} // namespace

TourPointFinder::TourPointFinder(Tour* tour, POINT screen, TrackingView* view) : TourReader(tour) {
    if (!view)
        return;
    target_ = view->ScreenToGeo(screen);
    POINT above = screen;
    above.y -= 6 * (view->screenScale > 0 ? view->screenScale : 1);
    const TrackPoint up = view->ScreenToGeo(above);
    byUtm_ = target_.utmEasting != 0;
    tolerance_ = byUtm_ ? std::llabs(int64_t{up.utmNorthing} - target_.utmNorthing)
                        : std::llabs(int64_t{up.latitude} - target_.latitude);
    // Top-left and bottom-right corners: {lonmin, latmax, lonmax, latmin}.
    visible_ = {view->geoCorners[0], view->geoCorners[1], view->geoCorners[2], view->geoCorners[3]};
    Read();
}

int TourPointFinder::OnSegment(const tur::Box& c, uint32_t, int64_t) {
    const bool misses = c.lonMax < visible_.lonMin || c.lonMin > visible_.lonMax ||
                        c.latMax < visible_.latMin || c.latMin > visible_.latMax;
    return misses ? 0 : 1;
}

void TourPointFinder::OnPoint(const TrackPoint& p) {
    TourReader::OnPoint(p);
    if (found_)
        return;
    const int64_t dx = byUtm_ ? int64_t{p.utmEasting} - target_.utmEasting
                              : int64_t{p.longitude} - target_.longitude;
    const int64_t dy = byUtm_ ? int64_t{p.utmNorthing} - target_.utmNorthing
                              : int64_t{p.latitude} - target_.latitude;
    if (std::llabs(dx) > tolerance_ || std::llabs(dy) > tolerance_)
        return;
    found_ = true;
    Tour* tour = GetTour();
    tour->foundPoint = p;
    tour->foundOffset = CurrentOffset();
    tour->foundDistance = distance;
    Stop();
}

// The found point's own label still arrives after it.
void TourPointFinder::OnWaypoint(const uint32_t* record, int) {
    if (found_ && waypointType < 0 && PointOffset() == GetTour()->foundOffset)
        waypointType = static_cast<int32_t>(record[0] & tur::kWaypointTypeMask);
}

const wchar_t* TourPointFinder::GetTourPath() const {
    return found_ ? GetTour()->path : nullptr;
}

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
