// Writes a tour of 1,000,000 points, then reads it back twice: once as plain bytes and once
// through a walker, and prints both times and their ratio (the walker should stay within 3x).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tours/tour_reader.h"
#include "tours/tour_writer.h"

namespace {

constexpr int kPoints = 1000000;

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

// The walker: the time-stamp labels with their distances, besides the base statistics.
class LabelWalker : public TourReader {
public:
    using TourReader::TourReader;
    int labels = 0;

protected:
    void OnWaypoint(const uint32_t*, int) override { ++labels; }
};

// Only the record walk, for the diagnosis of where the time goes.
class NullWalker : public TourReader {
public:
    using TourReader::TourReader;

protected:
    void OnPoint(const TrackPoint&) override {}
};

uint64_t PlainRead(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    std::vector<uint8_t> buffer(40960);
    uint64_t sum = 0;
    DWORD got = 0;
    while (ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got)
        for (DWORD i = 0; i < got; i += 4) // touch every word, as a reader must
            sum += buffer[i];
    CloseHandle(h);
    return sum;
}

} // namespace

int main() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"tour_bench.TUR";
    LARGE_INTEGER t0 = Now();
    {
        TourWriter writer(nullptr, path.c_str(), 0, kItemTour);
        for (int i = 0; i < kPoints; ++i) {
            const int32_t lon = 150000000 + i * 40;
            const int32_t lat = 830000000 + (i % 20000) * 25;
            if (i % 1000 == 999)
                writer.AddWaypoint(lon, lat, i, 0, nullptr, " TimeStamp", nullptr, nullptr);
            else
                writer.AddPoint(lon, lat, 50000 + (i % 700) * 10, 120, false, 0, nullptr, false);
        }
        writer.Close();
    }
    LARGE_INTEGER t1 = Now();
    printf("write: %d points in %.3f s\n", kPoints, Seconds(t0, t1));

    // Warm the file cache so both reads see the same conditions.
    volatile uint64_t sink = PlainRead(path);
    double plain = 1e9, walker = 1e9;
    int count = 0, labels = 0;
    for (int run = 0; run < 5; ++run) { // the best of five: the machine may be busy
        LARGE_INTEGER a = Now();
        sink = sink + PlainRead(path);
        LARGE_INTEGER b = Now();
        LabelWalker reader(path.c_str());
        reader.Read();
        LARGE_INTEGER c = Now();
        plain = std::min(plain, Seconds(a, b));
        walker = std::min(walker, Seconds(b, c));
        count = reader.count;
        labels = reader.labels;
    }
    printf("plain read: %.3f s\n", plain);
    printf("walker read: %.3f s (%d points, %d labels)\n", walker, count, labels);
    LARGE_INTEGER n0 = Now();
    NullWalker bare(path.c_str());
    bare.Read();
    LARGE_INTEGER n1 = Now();
    printf("record walk without statistics: %.3f s\n", Seconds(n0, n1));
    printf("ratio: %.2f (at most 3)\n", walker / plain);
    DeleteFileW(path.c_str());
    return walker <= 3.0 * plain ? 0 : 1;
}
