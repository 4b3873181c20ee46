// Copies a tour file of an older format version record by record into a version 9 file.
// The original is kept beside it as "<path>_old".
#pragma once
#include <windows.h>
#include <cstdint>
#include <map>
#include <vector>

#include "tours/tour_reader.h"

class TourConverter : public TourReader {
public:
    // Renames the file to "<path>_old" and writes the converted tour under the path. When the
    // rename fails nothing is touched; when the conversion fails the original is put back.
    explicit TourConverter(const wchar_t* path);
    ~TourConverter() override;

    bool Succeeded() const { return succeeded_; }
    int PointsConverted() const { return points_; }

protected:
    void OnPoint(const TrackPoint& point) override;
    void OnTimeMark(uint32_t stamp) override;
    void OnFileStart(uint32_t stamp) override;
    void OnSegmentEnd(const uint32_t* words) override;
    void OnVersion(int32_t version) override;
    void OnFixQuality(uint32_t word) override;
    void OnWaypoint(const uint32_t* record, int words) override;
    void OnExtraWord(uint32_t word) override;
    void OnDataBlock(int32_t word0, uint32_t bytes, int64_t dataOffset) override;
    void OnLinkBlock(int32_t word0, uint32_t bytes, int64_t dataOffset) override;
    int OnSegment(const tur::Box&, uint32_t, int64_t) override { return 1; }

private:
    // A word of the output that refers to a place of the input, settled once every offset of
    // the output is known.
    struct Fixup {
        int64_t at;          // output offset of the word
        int64_t base;        // output offset the word is relative to (-1: absolute)
        int64_t inputTarget; // input offset it must reach
    };
    bool Write(const uint32_t* words, size_t count);
    void CopyBlock(int32_t tag, int32_t word0, uint32_t bytes, int64_t dataOffset);
    void EnsureVersionRecord();
    bool Finish();

    HANDLE out_ = INVALID_HANDLE_VALUE;
    int64_t outPos_ = 0;
    int points_ = 0;
    int64_t segmentHeader_ = 0;
    tur::Box cell_ = {0, 0, 0, 0};
    tur::Box bounds_ = tur::kEmptyBox;
    bool versionWritten_ = false;
    bool inSegments_ = false;
    bool writeOk_ = true;
    bool succeeded_ = false;
    int64_t outPoint_ = 0;                // output offset of the last point written
    std::map<int64_t, int64_t> pointMap_; // input point offset -> output offset
    std::map<int64_t, int64_t> blockMap_; // input block offset -> output offset
    std::vector<Fixup> fixups_;
};
