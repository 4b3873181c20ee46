#include "core/track_point.h"

#include "core/time_stamp.h"

TrackPoint* InitTrackPoint(TrackPoint* point) {
    *point = TrackPoint{};
    point->altitude = kNoAltitude;
    point->time = GetCurrentTimeStamp();
    return point;
}
