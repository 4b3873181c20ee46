// Run at start-up on the current tour: corrects segment length words that do not match the
// distance to the next segment header (segments left open by a recording that was cut off),
// and cuts a last record that an interrupted write left incomplete.
#pragma once
#include <cstdint>

#include "tours/tour_reader.h"

class TourSegmentRepair : public TourReader {
public:
    explicit TourSegmentRepair(Tour* tour);

    bool Succeeded() const { return succeeded_; }
    int SegmentsCorrected() const { return corrected_; }
    // Bytes cut from the end of the file; 0 when its last record was whole.
    int64_t BytesCut() const { return cut_; }

protected:
    int OnSegment(const tur::Box& cell, uint32_t length, int64_t headerOffset) override;

private:
    int64_t previousHeader_ = -1;
    uint32_t previousLength_ = 0;
    int corrected_ = 0;
    int64_t cut_ = 0;
    bool succeeded_ = false;
};
