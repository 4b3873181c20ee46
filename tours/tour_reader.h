// Reads a .TUR record stream from its start and hands each record to a virtual handler.
// Subclasses (exporters, painters, walkers, converter, repair) override the handlers they need;
// the base gathers the tour's statistics.
#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/track_point.h"
#include "tours/tour.h"
#include "tours/tour_format.h"

// Program-wide: while 0, every running tour read stops at its next record. Starts at 1.
void SetTourReadFlag(int value);
int GetTourReadFlag();

class TourReader {
public:
    explicit TourReader(Tour* tour);
    // Reads a file through a Tour of the reader's own.
    explicit TourReader(const wchar_t* path);
    virtual ~TourReader();
    TourReader(const TourReader&) = delete;
    TourReader& operator=(const TourReader&) = delete;

    // Reads the file from its start. With a stop value: stops after the record whose first word
    // equals it (stopByTag), or after that many delivered points. Returns 1 when the file was
    // read (to its end, a stop, or damage: see Damaged), 0 when it cannot be opened or is not a
    // tour file.
    int Read(int32_t stopValue = 0, bool stopByTag = false);

    // Opens the tour file read-only (shared read), closing a handle that was open.
    bool OpenReadOnly();
    void CloseFile();

    // A damaged file is read up to the damage; the offset is where the bad record begins.
    bool Damaged() const { return damageOffset_ >= 0; }
    int64_t DamageOffset() const { return damageOffset_; }
    // The damage is a last record cut short by the end of the file (an interrupted write).
    bool TornTail() const { return tornTail_; }

    Tour* GetTour() const { return tour_; }
    int Version() const { return version_; }
    // Offset of the record being delivered (for a waypoint record: the record itself).
    int64_t CurrentOffset() const { return currentOffset_; }
    // Offset of the point that owns the waypoint record being delivered.
    int64_t PointOffset() const { return pointOffset_; }
    void Stop() { run_ = false; }

    // Reads bytes of the tour file; false when they are not all inside it.
    bool ReadBytesAt(int64_t offset, void* out, size_t bytes);
    // The text of the -7 or -8 block at the offset, cut at maxChars; false when damaged.
    bool ReadTextBlock(int64_t offset, std::wstring* out, size_t maxChars);

    // Statistics of the last read.
    int count = 0;
    double distance = 0.0; // metres
    int32_t lowestAltitude = 0x7FFFFFFF;
    int32_t highestAltitude = kNoAltitude;
    int32_t lowestSpeed = 0x7FFFFFFF;
    int32_t highestSpeed = 0;
    int32_t descent = 0; // altitude units of the file
    int32_t ascent = 0;
    double lastStep = 0.0; // metres
    TrackPoint current;    // the last delivered point

protected:
    virtual void OnPoint(const TrackPoint& point); // statistics
    virtual void OnTimeMark(uint32_t) {}
    virtual void OnFileStart(uint32_t) {}
    virtual void OnSegmentEnd(const uint32_t*) {} // distance word, duration, end time
    virtual void OnVersion(int32_t version);
    virtual void OnFixQuality(uint32_t) {}
    virtual void OnWaypoint(const uint32_t*, int) {} // record words, its length in words
    virtual void OnExtraWord(uint32_t) {}
    // -7 and -8 blocks: word 0, byte length, offset of the data; the reader skips the data.
    virtual void OnDataBlock(int32_t, uint32_t, int64_t) {}
    virtual void OnLinkBlock(int32_t, uint32_t, int64_t) {}
    // 0 skips the segment (when its length is known), 1 reads it, 2 goes back to the content of
    // the previous segment.
    virtual int OnSegment(const tur::Box&, uint32_t, int64_t) { return 1; }

    // True while the point being delivered is the copy of a relocated point.
    bool IsCopy() const { return isCopy_; }

private:
    enum Step { kNext, kEnd };
    bool OpenFile();
    // The record loop's fast path stays inline; Refill compacts and reads on.
    bool Need(size_t bytes) { return bufLen_ - pos_ >= bytes || Refill(bytes); }
    bool Refill(size_t bytes);
    uint32_t Word(size_t index) const { return tur::GetU32(buf_.data() + pos_ + index * 4); }
    void SkipBytes(int64_t bytes);
    void JumpTo(int64_t offset);
    int64_t Offset() const { return bufOffset_ + static_cast<int64_t>(pos_); }
    void MarkDamage(int64_t offset, bool torn);
    bool MarkTornOrCorrupt(int64_t offset, int64_t bytesNeeded);
    Step ReadRecord();
    Step ReadSegment(int64_t offset);
    Step ReadBlock(int64_t offset, int32_t tag);
    Step SkipPointLike(int64_t offset, uint32_t w0, bool copy);
    Step ReadPoint(int64_t offset, uint32_t w0);
    bool DeliverCopy(int64_t pointOffset, uint32_t w0, uint32_t distance);
    void ResetStatistics();

    std::unique_ptr<Tour> ownTour_;
    Tour* tour_;
    bool openedHere_ = false;
    int version_ = tur::kVersionWithoutRecord;
    int64_t currentOffset_ = 0;
    int64_t pointOffset_ = 0;
    bool run_ = false;
    bool isCopy_ = false;

    std::vector<uint8_t> buf_;
    int64_t bufOffset_ = 0; // file offset of buf_[0]
    size_t bufLen_ = 0;
    size_t pos_ = 0;
    bool smallRead_ = false;
    int64_t fileSize_ = 0;
    int64_t previousSegment_ = -1;
    int64_t lastGoBack_ = -1;
    int64_t damageOffset_ = -1;
    bool tornTail_ = false;
    int32_t stopValue_ = 0;
    bool stopByTag_ = false;
    int delivered_ = 0;
};
