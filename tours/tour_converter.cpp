#include "tours/tour_converter.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "tours/tour_file_io.h"

namespace {

// Converted points of files without time stamps get synthetic ones, 3 s apart, continued
// from one conversion to the next (2006-08-29 12:08:57 local time).
uint32_t g_syntheticTime = 841320537;
constexpr uint32_t kSyntheticStep = 3;

int32_t Scale(int32_t value, int32_t factor) {
    if (value == kNoAltitude)
        return value;
    int64_t v = int64_t{value} * factor;
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX));
}

} // namespace

TourConverter::TourConverter(const wchar_t* path) : TourReader(path) {
    Tour* tour = GetTour();
    if (!tour->IsOpen())
        return;
    tour->CloseFile();
    const std::wstring original(path);
    const std::wstring old = original + L"_old";
    if (old.size() >= kItemPathChars || !MoveFileW(original.c_str(), old.c_str()))
        return; // the original stays as it was
    tour->SetPath(old.c_str());
    out_ = CreateFileW(original.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out_ != INVALID_HANDLE_VALUE) {
        OutputDebugStringW(L"Converting");
        succeeded_ = Read() == 1 && !Damaged() && Finish();
        wchar_t line[64];
        swprintf(line, 64, L"\r\n%ld points converted.\r\n", static_cast<long>(points_));
        OutputDebugStringW(line);
    }
    tour->CloseFile();
    tur::CloseFile(&out_);
    if (!succeeded_) {
        DeleteFileW(original.c_str());
        MoveFileW(old.c_str(), original.c_str());
    }
}

TourConverter::~TourConverter() {
    tur::CloseFile(&out_);
}

bool TourConverter::Write(const uint32_t* words, size_t count) {
    writeOk_ = writeOk_ && tur::WriteWords(out_, words, count);
    outPos_ += static_cast<int64_t>(count) * 4;
    return writeOk_;
}

// Old files without a version record get one before their first point.
void TourConverter::EnsureVersionRecord() {
    if (versionWritten_)
        return;
    const uint32_t v[2] = {static_cast<uint32_t>(tur::kTagVersion), tur::kVersion};
    Write(v, 2);
    versionWritten_ = true;
}

void TourConverter::OnPoint(const TrackPoint& in) {
    EnsureVersionRecord();
    inSegments_ = true;
    if (segmentHeader_ == 0 || !tur::Contains(cell_, in.longitude, in.latitude)) {
        if (segmentHeader_ != 0) {
            uint8_t length[4];
            tur::PutU32(length,
                        static_cast<uint32_t>(outPos_ - segmentHeader_ - tur::kSegmentHeaderBytes));
            writeOk_ = writeOk_ &&
                       tur::WriteAt(out_, segmentHeader_ + tur::kSegmentLengthOffset, length, 4) &&
                       tur::SeekTo(out_, outPos_);
        }
        cell_ = tur::CellOf(in.longitude, in.latitude);
        tur::Widen(&bounds_, cell_);
        segmentHeader_ = outPos_;
        const uint32_t header[6] = {
            static_cast<uint32_t>(tur::kTagSegment), static_cast<uint32_t>(cell_.lonMin),
            static_cast<uint32_t>(cell_.latMax),     static_cast<uint32_t>(cell_.lonMax),
            static_cast<uint32_t>(cell_.latMin),     0};
        Write(header, 6);
    }
    TrackPoint p = in;
    p.flags &= ~tur::kFlagRelocated;
    const int version = Version();
    if (version < 5)
        tur::FillUtm(&p);
    if (version < 7) {
        p.speed = static_cast<uint16_t>(std::min(65535, p.speed * 10));
        p.altitude = Scale(p.altitude, 100);
        p.time = g_syntheticTime;
        g_syntheticTime += kSyntheticStep;
    }
    outPoint_ = outPos_;
    pointMap_[CurrentOffset()] = outPos_;
    uint32_t words[9];
    tur::PointToWords(p, words);
    Write(words, 9);
    ++points_;
    if (points_ % 100 == 0) {
        wchar_t line[32];
        swprintf(line, 32, L"%d\r\n", points_);
        OutputDebugStringW(line);
    }
}

void TourConverter::OnTimeMark(uint32_t stamp) {
    const uint32_t w[2] = {static_cast<uint32_t>(tur::kTagTimeMark), stamp};
    Write(w, 2);
}

void TourConverter::OnFileStart(uint32_t stamp) {
    const uint32_t w[2] = {static_cast<uint32_t>(tur::kTagFileStart), stamp};
    Write(w, 2);
}

void TourConverter::OnSegmentEnd(const uint32_t* words) {
    const uint32_t w[4] = {static_cast<uint32_t>(tur::kTagSegmentEnd), words[0], words[1],
                           words[2]};
    Write(w, 4);
}

void TourConverter::OnVersion(int32_t version) {
    TourReader::OnVersion(version);
    versionWritten_ = false;
    EnsureVersionRecord();
}

void TourConverter::OnFixQuality(uint32_t word) {
    const uint32_t w[2] = {static_cast<uint32_t>(tur::kTagFixQuality), word};
    Write(w, 2);
}

void TourConverter::OnExtraWord(uint32_t word) {
    Write(&word, 1);
}

// Links are offsets from the owning point to its text blocks; points grow when old files are
// converted, so every link is settled from the real output offsets at the end.
void TourConverter::OnWaypoint(const uint32_t* record, int words) {
    const uint32_t header = record[0];
    const bool hasLinks = Version() >= 6;
    uint32_t out[1 + 2 + 9] = {header};
    int n = 1, from = 1;
    const uint32_t flags[2] = {tur::kWaypointHasName, tur::kWaypointHasDescription};
    for (uint32_t flag : flags) {
        if (!(header & flag))
            continue;
        const int32_t link = hasLinks && from < words ? static_cast<int32_t>(record[from++]) : 0;
        if (link != 0)
            fixups_.push_back({outPos_ + n * 4, outPoint_, PointOffset() + link});
        out[n++] = 0;
    }
    for (int i = from; i < words && n < 12; ++i)
        out[n++] = record[i];
    Write(out, static_cast<size_t>(n));
}

void TourConverter::CopyBlock(int32_t tag, int32_t word0, uint32_t bytes, int64_t dataOffset) {
    const int64_t inBlock = dataOffset - 12;
    blockMap_[inBlock] = outPos_;
    if (word0 != 0)
        fixups_.push_back({outPos_ + 4, -2, inBlock - word0}); // owner point, settled later
    const uint32_t head[3] = {static_cast<uint32_t>(tag), 0, bytes};
    Write(head, 3);
    std::vector<uint8_t> data(bytes);
    if (bytes && !ReadBytesAt(dataOffset, data.data(), bytes))
        writeOk_ = false;
    writeOk_ = writeOk_ && tur::WriteAll(out_, data.data(), data.size());
    outPos_ += bytes;
}

void TourConverter::OnDataBlock(int32_t word0, uint32_t bytes, int64_t dataOffset) {
    const bool properties = !inSegments_ && dataOffset - 12 == tur::kPropertiesBlockOffset &&
                            bytes == tur::kPropertiesBytes;
    CopyBlock(tur::kTagDataBlock, word0, bytes, dataOffset);
    if (!properties)
        return;
    // Version 9 keeps the bounds at offset 68; older files have none there, so give them one
    // (filled in at the end) rather than let a later writer overwrite the link block with it.
    uint8_t next[12];
    const bool hasBounds = ReadBytesAt(tur::kBoundsBlockOffset, next, 12) &&
                           tur::GetI32(next) == tur::kTagDataBlock && tur::GetU32(&next[8]) == 16;
    if (!hasBounds) {
        const uint32_t block[7] = {static_cast<uint32_t>(tur::kTagDataBlock), 0, 16, 0, 0, 0, 0};
        Write(block, 7);
    }
}

void TourConverter::OnLinkBlock(int32_t word0, uint32_t bytes, int64_t dataOffset) {
    if (!inSegments_ && word0 == 0 && bytes == 4) {
        // The tour description link: an absolute offset.
        uint8_t raw[4];
        const uint32_t target = ReadBytesAt(dataOffset, raw, 4) ? tur::GetU32(raw) : 0;
        const uint32_t block[4] = {static_cast<uint32_t>(tur::kTagLinkBlock), 0, 4, 0};
        if (target != 0)
            fixups_.push_back({outPos_ + 12, -1, target});
        Write(block, 4);
        return;
    }
    CopyBlock(tur::kTagLinkBlock, word0, bytes, dataOffset);
}

bool TourConverter::Finish() {
    for (const Fixup& f : fixups_) {
        int64_t value = 0;
        if (f.base == -2) {
            // A text block's word 0: its own offset minus its owner point's.
            auto point = pointMap_.find(f.inputTarget);
            value = point == pointMap_.end() ? 0 : (f.at - 4) - point->second;
        } else {
            auto block = blockMap_.find(f.inputTarget);
            if (block != blockMap_.end())
                value = f.base == -1 ? block->second : block->second - f.base;
        }
        uint8_t word[4];
        tur::PutU32(word, static_cast<uint32_t>(value));
        writeOk_ = writeOk_ && tur::WriteAt(out_, f.at, word, 4);
    }
    uint8_t head[12];
    if (tur::ReadAt(out_, tur::kBoundsBlockOffset, head, 12) &&
        tur::GetI32(head) == tur::kTagDataBlock && tur::GetU32(&head[8]) == 16) {
        const uint32_t b[4] = {
            static_cast<uint32_t>(bounds_.lonMin), static_cast<uint32_t>(bounds_.latMax),
            static_cast<uint32_t>(bounds_.lonMax), static_cast<uint32_t>(bounds_.latMin)};
        writeOk_ = writeOk_ && tur::SeekTo(out_, tur::kBoundsBlockOffset + 12) &&
                   tur::WriteWords(out_, b, 4);
    }
    FlushFileBuffers(out_);
    return writeOk_;
}
