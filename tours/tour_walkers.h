// Small readers that walk a tour for one answer: the point at a time, the time-stamp labels.
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>

#include "tours/tour_reader.h"

class TrackingView;

// Finds the first point of a tour near a screen point of the map view (within 6 pixels times
// the screen scale) and stores it as the tour's found point.
class TourPointFinder : public TourReader {
public:
    TourPointFinder(Tour* tour, POINT screen, TrackingView* view);
    // The tour's path when a point was found, else null.
    const wchar_t* GetTourPath() const;
    // The type of the found point's waypoint record; -1 when it has none.
    int32_t waypointType = -1;

protected:
    void OnPoint(const TrackPoint& point) override;
    void OnWaypoint(const uint32_t* record, int words) override;
    int OnSegment(const tur::Box& cell, uint32_t length, int64_t offset) override;

private:
    TrackPoint target_;
    int64_t tolerance_ = 0;
    bool byUtm_ = false;
    tur::Box visible_ = tur::kEmptyBox;
    bool found_ = false;
};

// Finds the first point at or after a time (files from version 7 on, which carry times) and
// stores it as the tour's found point.
class TourTimeFinder : public TourReader {
public:
    TourTimeFinder(Tour* tour, uint32_t stamp);
    // The tour's path when a point was found, else null.
    const wchar_t* GetTourPath() const;

protected:
    void OnPoint(const TrackPoint& point) override;

private:
    uint32_t target_;
    bool found_ = false;
};

// Collects the time-stamp labels of a tour with their distances from the start.
class TourTimeStampCollector : public TourReader {
public:
    struct Entry {
        float distanceKm; // from the start
        float toNextKm;   // to the next entry
        uint32_t stamp;   // the label's time stamp
        uint32_t secondsToNext;
    };
    explicit TourTimeStampCollector(Tour* tour);
    const Entry* GetAt(size_t n) const { return n < entries_.size() ? &entries_[n] : nullptr; }
    size_t Size() const { return entries_.size(); }

protected:
    void OnWaypoint(const uint32_t* record, int words) override;

private:
    std::vector<Entry> entries_;
};
