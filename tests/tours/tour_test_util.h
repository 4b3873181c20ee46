// Helpers of the tour tests: building .TUR bytes by hand and reading a file into a list.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

#include "tours/tour_format.h"
#include "tours/tour_reader.h"

namespace tourtest {

// Little-endian words, as a file's bytes.
class Words {
public:
    Words& operator<<(uint32_t w) {
        for (int i = 0; i < 4; ++i)
            bytes_.push_back(static_cast<char>(w >> (8 * i)));
        return *this;
    }
    Words& Text(const std::wstring& text) { // UTF-16 with terminator, padded to 4 bytes
        size_t n = tur::TextBlockBytes(text.size());
        for (size_t i = 0; i < n / 2; ++i) {
            wchar_t c = i < text.size() ? text[i] : 0;
            bytes_.push_back(static_cast<char>(c & 0xFF));
            bytes_.push_back(static_cast<char>(c >> 8));
        }
        return *this;
    }
    size_t size() const { return bytes_.size(); }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

inline uint32_t U(int32_t v) {
    return static_cast<uint32_t>(v);
}

// The fixed header of a version 9 file (120 bytes); version record included.
inline Words Header(int version = 9, uint32_t descriptionOffset = 0) {
    Words w;
    w << U(-3) << 1000u << U(-7) << 0u << 48u << 0x0000FFu << 1u;
    for (int i = 0; i < 10; ++i)
        w << 0u;
    if (version >= 8)
        w << U(-7) << 0u << 16u << U(tur::kEmptyLonMin) << U(tur::kEmptyLatMax)
          << U(tur::kEmptyLatMax) << U(tur::kEmptyLonMin);
    w << U(-8) << 0u << 4u << descriptionOffset;
    if (version >= 5)
        w << U(-5) << static_cast<uint32_t>(version);
    return w;
}

struct Record {
    int64_t offset;
    int32_t kind; // a tag, or 1 for a point and 2 for a waypoint record
    TrackPoint point;
    std::vector<uint32_t> words;
};

// Reads every record into a list, in delivery order.
class Collector : public TourReader {
public:
    using TourReader::TourReader;
    std::vector<Record> records;
    std::vector<TrackPoint> Points() const {
        std::vector<TrackPoint> out;
        for (const Record& r : records)
            if (r.kind == 1)
                out.push_back(r.point);
        return out;
    }
    std::vector<Record> Of(int32_t kind) const {
        std::vector<Record> out;
        for (const Record& r : records)
            if (r.kind == kind)
                out.push_back(r);
        return out;
    }
    using TourReader::ReadTextBlock;

protected:
    void OnPoint(const TrackPoint& p) override {
        TourReader::OnPoint(p);
        records.push_back({CurrentOffset(), 1, p, {}});
    }
    void OnWaypoint(const uint32_t* rec, int n) override {
        records.push_back({CurrentOffset(), 2, {}, std::vector<uint32_t>(rec, rec + n)});
    }
    void OnTimeMark(uint32_t s) override { records.push_back({CurrentOffset(), -2, {}, {s}}); }
    void OnFileStart(uint32_t s) override { records.push_back({CurrentOffset(), -3, {}, {s}}); }
    void OnFixQuality(uint32_t w) override { records.push_back({CurrentOffset(), -4, {}, {w}}); }
    void OnVersion(int32_t v) override {
        TourReader::OnVersion(v);
        records.push_back({CurrentOffset(), -5, {}, {static_cast<uint32_t>(v)}});
    }
    void OnSegmentEnd(const uint32_t* w) override {
        records.push_back({CurrentOffset(), -1, {}, {w[0], w[1], w[2]}});
    }
    void OnDataBlock(int32_t w0, uint32_t bytes, int64_t) override {
        records.push_back({CurrentOffset(), -7, {}, {static_cast<uint32_t>(w0), bytes}});
    }
    void OnLinkBlock(int32_t w0, uint32_t bytes, int64_t) override {
        records.push_back({CurrentOffset(), -8, {}, {static_cast<uint32_t>(w0), bytes}});
    }
    int OnSegment(const tur::Box& c, uint32_t length, int64_t offset) override {
        records.push_back(
            {offset, -6, {}, {U(c.lonMin), U(c.latMax), U(c.lonMax), U(c.latMin), length}});
        return segmentAnswer;
    }

public:
    int segmentAnswer = 1;
};

} // namespace tourtest
