#include "tours/tour_segment_repair.h"

#include "tours/tour_file_io.h"

TourSegmentRepair::TourSegmentRepair(Tour* tour) : TourReader(tour) {
    if (!tour)
        return;
    TourLockGuard guard(tour);
    // Nobody else may write while lengths are patched and the tail is cut.
    tour->CloseFile();
    tour->file = CreateFileW(tour->path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!tour->IsOpen())
        return;
    succeeded_ = Read() == 1;
    if (succeeded_ && TornTail()) {
        const int64_t size = tur::FileSize(tour->file);
        if (size > DamageOffset() && tur::SeekTo(tour->file, DamageOffset()) &&
            SetEndOfFile(tour->file))
            cut_ = size - DamageOffset();
    }
    FlushFileBuffers(tour->file);
    tour->CloseFile();
}

int TourSegmentRepair::OnSegment(const tur::Box&, uint32_t length, int64_t headerOffset) {
    if (previousHeader_ >= 0) {
        const int64_t actual = headerOffset - previousHeader_ - tur::kSegmentHeaderBytes;
        if (actual != int64_t{previousLength_}) {
            uint8_t word[4];
            tur::PutU32(word, static_cast<uint32_t>(actual));
            if (tur::WriteAt(GetTour()->file, previousHeader_ + tur::kSegmentLengthOffset, word, 4))
                ++corrected_;
        }
    }
    previousHeader_ = headerOffset;
    previousLength_ = length;
    return 1;
}
