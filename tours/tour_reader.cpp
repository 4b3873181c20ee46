#include "tours/tour_reader.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/ui_seam.h"
#include "geo/units.h"
#include "tours/tour_file_io.h"

namespace {

constexpr size_t kBufferBytes = 40960;
// After a seek over a skipped segment only this much is read, so that runs of skipped
// segments cost one small read each (21 words: the longest fixed-length record).
constexpr size_t kSmallReadBytes = 84;
// Longest waypoint record: header, two links, nine words of a symbol label.
constexpr int kMaxWaypointWords = 12;
// A cut-off block is taken for an interrupted write only when it could have been written whole
// by the program (its text blocks stay below this); longer lengths are damage.
constexpr int64_t kMaxTornBlockBytes = 12 + 4096 * 2;

std::atomic<int> g_readFlag{1};

// Program-wide state of the statistics: one previous point and reference altitude for all
// readers, since reads run on the user-interface thread only.
TrackPoint g_previous;
int32_t g_referenceAltitude = 0;

// Below this the step is the flat distance, as DistanceMetres gives it for short steps.
constexpr double kFlatStepLimit = 99000.0;
// The cosine of the previous point's latitude is kept while the latitude moves less than this
// (1e-5 rad, about 64 m): the step then differs by a few millionths, and a long tour reads
// without a cosine per point.
constexpr int32_t kCosineReuse = 1000;

// Sums of damaged altitudes must not overflow.
int32_t Saturate(int64_t v) {
    return static_cast<int32_t>(std::min<int64_t>(v, INT32_MAX));
}

double StepMetres(const TrackPoint& from, const TrackPoint& to) {
    static int32_t cachedLatitude = 0;
    static double cachedCosine = 1.0;
    static bool cached = false;
    if (!cached || std::llabs(int64_t{from.latitude} - cachedLatitude) >= kCosineReuse) {
        cachedLatitude = from.latitude;
        cachedCosine = std::cos(from.latitude * 1e-8);
        cached = true;
    }
    const int64_t dlon = int64_t{from.longitude} - to.longitude;
    const int64_t dlat = int64_t{from.latitude} - to.latitude;
    // Short steps only; anything that might cross the date line or be long goes to the full rule.
    if (dlon > -157079632 && dlon < 157079632) {
        const double dx = static_cast<double>(dlon) * cachedCosine;
        const double dy = static_cast<double>(dlat);
        const double flat = std::sqrt(dx * dx + dy * dy) * 0.06378137;
        if (flat < kFlatStepLimit)
            return flat;
    }
    return DistanceMetres(from, to);
}

} // namespace

void SetTourReadFlag(int value) {
    g_readFlag.store(value);
}
int GetTourReadFlag() {
    return g_readFlag.load();
}

TourReader::TourReader(Tour* tour) : tour_(tour) {
    InitTrackPoint(&current);
    if (tour_ && !tour_->IsOpen())
        openedHere_ = OpenFile();
}

TourReader::TourReader(const wchar_t* path)
    : ownTour_(std::make_unique<Tour>(nullptr, path)), tour_(ownTour_.get()) {
    InitTrackPoint(&current);
    openedHere_ = OpenFile();
}

TourReader::~TourReader() {
    if (openedHere_ && tour_)
        tour_->CloseFile();
}

bool TourReader::OpenFile() {
    TourLockGuard guard(tour_);
    if (tour_->IsOpen())
        return true;
    tour_->file =
        CreateFileW(tour_->path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (tour_->file == INVALID_HANDLE_VALUE)
        tour_->file = CreateFileW(tour_->path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return tour_->IsOpen();
}

void TourReader::ResetStatistics() {
    count = 0;
    distance = 0.0;
    lowestAltitude = 0x7FFFFFFF;
    highestAltitude = kNoAltitude;
    lowestSpeed = 0x7FFFFFFF;
    highestSpeed = 0;
    descent = ascent = 0;
    lastStep = 0.0;
}

int TourReader::Read(int32_t stopValue, bool stopByTag) {
    if (!tour_) {
        UiMessageBox(nullptr, L"tourmap==NULL", L"", MB_OK);
        return 0;
    }
    run_ = true;
    ResetStatistics();
    previousSegment_ = lastGoBack_ = damageOffset_ = -1;
    tornTail_ = false;
    stopValue_ = stopValue;
    stopByTag_ = stopByTag;
    delivered_ = 0;
    version_ = tur::kVersionWithoutRecord;

    TourLockGuard guard(tour_);
    if (!tour_->IsOpen() && !(openedHere_ = OpenFile()))
        return 0;
    buf_.resize(kBufferBytes);
    bufOffset_ = 0;
    bufLen_ = pos_ = 0;
    smallRead_ = false;
    fileSize_ = tur::FileSize(tour_->file);
    if (fileSize_ < 0 || !Need(4) || static_cast<int32_t>(Word(0)) != tur::kTagFileStart) {
        tour_->CloseFile();
        openedHere_ = false;
        return 0;
    }
    while (run_ && GetTourReadFlag() && ReadRecord() == kNext) {
    }
    tur::SeekToEnd(tour_->file);
    return 1;
}

bool TourReader::Refill(size_t bytes) {
    if (bytes > buf_.size())
        return false;
    if (pos_ > 0) {
        memmove(buf_.data(), buf_.data() + pos_, bufLen_ - pos_);
        bufOffset_ += static_cast<int64_t>(pos_);
        bufLen_ -= pos_;
        pos_ = 0;
    }
    size_t want = buf_.size() - bufLen_;
    if (smallRead_)
        want = std::min(want, std::max(kSmallReadBytes, bytes - bufLen_));
    smallRead_ = false;
    const int64_t from = bufOffset_ + static_cast<int64_t>(bufLen_);
    if (from < fileSize_ && tur::SeekTo(tour_->file, from)) {
        DWORD got = 0;
        want = static_cast<size_t>(std::min<int64_t>(want, fileSize_ - from));
        if (ReadFile(tour_->file, buf_.data() + bufLen_, static_cast<DWORD>(want), &got, nullptr))
            bufLen_ += got;
    }
    return bufLen_ - pos_ >= bytes;
}

void TourReader::SkipBytes(int64_t bytes) {
    if (static_cast<int64_t>(bufLen_ - pos_) >= bytes)
        pos_ += static_cast<size_t>(bytes);
    else
        JumpTo(Offset() + bytes);
}

void TourReader::JumpTo(int64_t offset) {
    bufOffset_ = offset;
    bufLen_ = pos_ = 0;
    smallRead_ = true;
}

void TourReader::MarkDamage(int64_t offset, bool torn) {
    damageOffset_ = offset;
    tornTail_ = torn;
    OutputDebugStringW(torn ? L"TourReader: last record cut short\r\n"
                            : L"TourReader: damaged record\r\n");
}

// A record that needs more bytes than the file holds: an interrupted write when it is the last
// thing in the file and short, otherwise damage.
bool TourReader::MarkTornOrCorrupt(int64_t offset, int64_t bytesNeeded) {
    const int64_t left = fileSize_ - offset;
    MarkDamage(offset, left < bytesNeeded && bytesNeeded <= kMaxTornBlockBytes);
    return false;
}

TourReader::Step TourReader::ReadRecord() {
    const int64_t offset = Offset();
    if (!Need(4)) {
        if (offset < fileSize_)
            MarkTornOrCorrupt(offset, 4);
        return kEnd;
    }
    const uint32_t w0 = Word(0);
    const int32_t tag = static_cast<int32_t>(w0);
    size_t words = 0;
    switch (tag) {
    case tur::kTagSegmentEnd:
        words = 4;
        break;
    case tur::kTagTimeMark:
    case tur::kTagFileStart:
    case tur::kTagFixQuality:
    case tur::kTagVersion:
        words = 2;
        break;
    case tur::kTagSegment:
        return ReadSegment(offset);
    case tur::kTagDataBlock:
    case tur::kTagLinkBlock:
        return ReadBlock(offset, tag);
    case tur::kTagRelocated:
        return SkipPointLike(offset, w0, true);
    default:
        if (tur::IsDeleted(w0))
            return SkipPointLike(offset, w0, false);
        return ReadPoint(offset, w0);
    }
    if (!Need(words * 4)) {
        MarkTornOrCorrupt(offset, static_cast<int64_t>(words) * 4);
        return kEnd;
    }
    currentOffset_ = offset;
    switch (tag) {
    case tur::kTagSegmentEnd: {
        const uint32_t rest[3] = {Word(1), Word(2), Word(3)};
        OnSegmentEnd(rest);
        break;
    }
    case tur::kTagTimeMark:
        OnTimeMark(Word(1));
        break;
    case tur::kTagFileStart:
        OnFileStart(Word(1));
        break;
    case tur::kTagFixQuality:
        OnFixQuality(Word(1));
        break;
    default:
        OnVersion(static_cast<int32_t>(Word(1)));
        break;
    }
    pos_ += words * 4;
    return stopByTag_ && stopValue_ == tag ? kEnd : kNext;
}

TourReader::Step TourReader::ReadSegment(int64_t offset) {
    if (!Need(tur::kSegmentHeaderBytes)) {
        MarkTornOrCorrupt(offset, tur::kSegmentHeaderBytes);
        return kEnd;
    }
    const tur::Box cell = {static_cast<int32_t>(Word(1)), static_cast<int32_t>(Word(2)),
                           static_cast<int32_t>(Word(3)), static_cast<int32_t>(Word(4))};
    const uint32_t length = Word(5);
    currentOffset_ = offset;
    const int result = OnSegment(cell, length, offset);
    const int64_t previous = previousSegment_;
    previousSegment_ = offset;
    pos_ += tur::kSegmentHeaderBytes;
    if (result == 0 && length != 0) {
        if (length % 4 != 0 || offset + tur::kSegmentHeaderBytes + length > fileSize_) {
            MarkDamage(offset, false);
            return kEnd;
        }
        SkipBytes(length);
    } else if (result == 2 && previous >= 0 && previous != lastGoBack_) {
        // Once per segment: a handler that always answers 2 must not loop forever.
        lastGoBack_ = previous;
        JumpTo(previous + tur::kSegmentHeaderBytes);
    }
    return stopByTag_ && stopValue_ == tur::kTagSegment ? kEnd : kNext;
}

TourReader::Step TourReader::ReadBlock(int64_t offset, int32_t tag) {
    if (!Need(12)) {
        MarkTornOrCorrupt(offset, 12);
        return kEnd;
    }
    const int32_t word0 = static_cast<int32_t>(Word(1));
    const uint32_t bytes = Word(2);
    if (bytes % 4 != 0) {
        MarkDamage(offset, false);
        return kEnd;
    }
    if (offset + 12 + int64_t{bytes} > fileSize_) {
        MarkTornOrCorrupt(offset, 12 + int64_t{bytes});
        return kEnd;
    }
    currentOffset_ = offset;
    if (tag == tur::kTagDataBlock)
        OnDataBlock(word0, bytes, offset + 12);
    else
        OnLinkBlock(word0, bytes, offset + 12);
    SkipBytes(12 + int64_t{bytes});
    return stopByTag_ && stopValue_ == tag ? kEnd : kNext;
}

// Deleted points and -9 copies: skipped with what follows them.
TourReader::Step TourReader::SkipPointLike(int64_t offset, uint32_t w0, bool copy) {
    const size_t pointBytes = static_cast<size_t>(tur::PointWords(version_)) * 4;
    const size_t extra = !copy && (w0 & tur::kFlagExtraWord) ? 4 : 0;
    size_t total = pointBytes + extra;
    if (copy || (w0 & tur::kFlagWaypoint)) {
        if (!Need(total + 4)) {
            MarkTornOrCorrupt(offset, static_cast<int64_t>(total) + 4);
            return kEnd;
        }
        total += static_cast<size_t>(tur::WaypointWords(Word(total / 4), version_)) * 4;
    }
    if (!Need(total)) {
        MarkTornOrCorrupt(offset, static_cast<int64_t>(total));
        return kEnd;
    }
    pos_ += total;
    return stopByTag_ && stopValue_ == static_cast<int32_t>(w0) ? kEnd : kNext;
}

TourReader::Step TourReader::ReadPoint(int64_t offset, uint32_t w0) {
    // Most records are plain 9-word points: they are decoded straight from the buffer.
    constexpr uint32_t kFollowers = tur::kFlagRelocated | tur::kFlagExtraWord | tur::kFlagWaypoint;
    if (!(w0 & kFollowers) && version_ >= 7 && Need(36)) {
        uint32_t words[9];
        for (size_t i = 0; i < 9; ++i)
            words[i] = Word(i);
        pos_ += 36;
        currentOffset_ = pointOffset_ = offset;
        isCopy_ = false;
        current = tur::PointFromWords(words, version_);
        ++delivered_;
        OnPoint(current);
        if (stopByTag_)
            return stopValue_ == static_cast<int32_t>(w0) ? kEnd : kNext;
        return stopValue_ > 0 && delivered_ >= stopValue_ ? kEnd : kNext;
    }
    const int pointWords = tur::PointWords(version_);
    const size_t pointBytes = static_cast<size_t>(pointWords) * 4;
    const size_t extra = (w0 & tur::kFlagExtraWord) ? 4 : 0;
    size_t total = pointBytes + extra;
    int waypointWords = 0;
    if (w0 & tur::kFlagWaypoint) {
        if (!Need(total + 4)) {
            MarkTornOrCorrupt(offset, static_cast<int64_t>(total) + 4);
            return kEnd;
        }
        waypointWords = tur::WaypointWords(Word(total / 4), version_);
    }
    total += static_cast<size_t>(waypointWords) * 4;
    if (!Need(total)) {
        MarkTornOrCorrupt(offset, static_cast<int64_t>(total));
        return kEnd;
    }
    uint32_t words[9 + 1 + kMaxWaypointWords];
    for (size_t i = 0; i < total / 4; ++i)
        words[i] = Word(i);
    pos_ += total;

    if ((w0 & tur::kFlagRelocated) && pointWords >= 8) {
        if (!DeliverCopy(offset, w0, words[7]))
            return kEnd;
    } else {
        currentOffset_ = pointOffset_ = offset;
        isCopy_ = false;
        current = tur::PointFromWords(words, version_);
        ++delivered_;
        OnPoint(current);
        if (extra)
            OnExtraWord(words[pointWords]);
        const uint32_t* record = words + pointWords + extra / 4;
        if (waypointWords && !(record[0] & tur::kWaypointDeleted)) {
            currentOffset_ = offset + static_cast<int64_t>(pointBytes + extra);
            OnWaypoint(record, waypointWords);
        }
        currentOffset_ = offset;
    }
    if (stopByTag_)
        return stopValue_ == static_cast<int32_t>(w0) ? kEnd : kNext;
    return stopValue_ > 0 && delivered_ >= stopValue_ ? kEnd : kNext;
}

// A relocated point is delivered as its copy (with the copy's label), unless the copy is
// deleted. Returns false on damage.
bool TourReader::DeliverCopy(int64_t pointOffset, uint32_t w0, uint32_t distance) {
    const int pointWords = tur::PointWords(version_);
    const int64_t pointBytes = pointWords * 4;
    const int64_t at = pointOffset + distance;
    uint32_t copy[9 + kMaxWaypointWords];
    uint8_t raw[(9 + kMaxWaypointWords) * 4];
    if (distance < pointBytes || at + pointBytes + 4 > fileSize_ ||
        !ReadBytesAt(at, raw, static_cast<size_t>(pointBytes) + 4)) {
        MarkDamage(pointOffset, false);
        return false;
    }
    for (int i = 0; i <= pointWords; ++i)
        copy[i] = tur::GetU32(&raw[i * 4]);
    if (copy[0] == tur::kDeletedCopy)
        return true;
    if (static_cast<int32_t>(copy[0]) != tur::kTagRelocated) {
        MarkDamage(pointOffset, false);
        return false;
    }
    const int waypointWords = tur::WaypointWords(copy[pointWords], version_);
    if (at + pointBytes + waypointWords * 4 > fileSize_ ||
        !ReadBytesAt(at + pointBytes, raw, static_cast<size_t>(waypointWords) * 4)) {
        MarkDamage(pointOffset, false);
        return false;
    }
    for (int i = 0; i < waypointWords; ++i)
        copy[pointWords + i] = tur::GetU32(&raw[i * 4]);
    // The copy stands for the point: its own flags, and the copy's label follows it.
    copy[0] = (w0 & ~(tur::kFlagRelocated | tur::kFlagExtraWord)) | tur::kFlagWaypoint;
    currentOffset_ = pointOffset_ = at;
    isCopy_ = true;
    current = tur::PointFromWords(copy, version_);
    ++delivered_;
    OnPoint(current);
    isCopy_ = false;
    if (!(copy[pointWords] & tur::kWaypointDeleted)) {
        currentOffset_ = at + pointBytes;
        OnWaypoint(copy + pointWords, waypointWords);
    }
    currentOffset_ = pointOffset_ = pointOffset;
    return true;
}

bool TourReader::OpenReadOnly() {
    TourLockGuard guard(tour_);
    tour_->CloseFile();
    tour_->file = CreateFileW(tour_->path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    openedHere_ = tour_->IsOpen();
    return openedHere_;
}

void TourReader::CloseFile() {
    if (tour_)
        tour_->CloseFile();
    openedHere_ = false;
}

bool TourReader::ReadBytesAt(int64_t offset, void* out, size_t bytes) {
    if (!tour_ || !tour_->IsOpen() || offset < 0 ||
        offset + static_cast<int64_t>(bytes) > fileSize_)
        return false;
    TourLockGuard guard(tour_);
    return tur::ReadAt(tour_->file, offset, out, bytes);
}

bool TourReader::ReadTextBlock(int64_t offset, std::wstring* out, size_t maxChars) {
    out->clear();
    uint8_t head[12];
    if (!ReadBytesAt(offset, head, 12))
        return false;
    const int32_t tag = tur::GetI32(head);
    const uint32_t bytes = tur::GetU32(&head[8]);
    if ((tag != tur::kTagDataBlock && tag != tur::kTagLinkBlock) || bytes % 4 != 0 ||
        offset + 12 + int64_t{bytes} > fileSize_)
        return false;
    const size_t take = std::min<size_t>(bytes, maxChars * 2);
    std::vector<uint8_t> raw(take);
    if (!ReadBytesAt(offset + 12, raw.data(), take))
        return false;
    for (size_t i = 0; i + 1 < take; i += 2) {
        wchar_t c = static_cast<wchar_t>(raw[i] | raw[i + 1] << 8);
        if (c == L'\0')
            break;
        out->push_back(c);
    }
    return true;
}

void TourReader::OnVersion(int32_t version) {
    version_ = version;
    if (tour_)
        tour_->version = version;
}

void TourReader::OnPoint(const TrackPoint& p) {
    if (count == 0) {
        g_previous = p;
        g_referenceAltitude = p.altitude;
    }
    if (!(p.flags & tur::kFlagBreak) || isCopy_) {
        lastStep = StepMetres(g_previous, p);
        distance += lastStep;
    }
    g_previous = p;
    // A point without altitude takes no part in the altitude figures.
    if (p.altitude != kNoAltitude) {
        if (g_referenceAltitude == kNoAltitude)
            g_referenceAltitude = p.altitude;
        const int32_t hysteresis = version_ < 7 ? 25 : 2500;
        const int64_t rise = int64_t{p.altitude} - g_referenceAltitude;
        if (rise > hysteresis) {
            ascent = Saturate(int64_t{ascent} + rise);
            g_referenceAltitude = p.altitude;
        } else if (rise < -hysteresis) {
            descent = Saturate(int64_t{descent} - rise);
            g_referenceAltitude = p.altitude;
        }
        lowestAltitude = std::min(lowestAltitude, p.altitude);
        highestAltitude = std::max(highestAltitude, p.altitude);
    }
    lowestSpeed = std::min<int32_t>(lowestSpeed, p.speed);
    highestSpeed = std::max<int32_t>(highestSpeed, p.speed);
    ++count;
}
