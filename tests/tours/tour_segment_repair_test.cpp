#include "tours/tour_segment_repair.h"

#include <gtest/gtest.h>

#include "tests/support/program_key_scope.h"
#include "tests/support/scratch_dir.h"
#include "tests/tours/tour_test_util.h"
#include "tours/tour_writer.h"

using tourtest::Collector;
using tourtest::Header;
using tourtest::Record;
using tourtest::U;
using tourtest::Words;

namespace {

int32_t HelperLongitude(uint32_t i) {
    return 100000000 + static_cast<int32_t>(i) * 997;
}

std::wstring HelperPath() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"tour_record_helper.exe";
}

uint32_t ReadProgress(const std::wstring& path) {
    std::string bytes = ScratchDir::ReadFile(path);
    if (bytes.size() < 4)
        return 0;
    return tur::GetU32(reinterpret_cast<const uint8_t*>(bytes.data()));
}

} // namespace

TEST(TourSegmentRepair, CorrectsOpenSegmentsButTheLast) {
    ScratchDir dir;
    Words w = Header();
    for (int s = 0; s < 3; ++s) {
        w << U(-6) << U(s * 58178) << 58177u << U(s * 58178 + 58177) << 0u << 0u;
        for (int p = 0; p <= s; ++p)
            w << U(p) << U(s * 58178 + p) << 100u << 0u << 0u << 0u << 0u << 0u << 0u;
        w << U(-2) << 5u;
    }
    const std::wstring path = dir.WriteFile(L"Open.TUR", w.bytes());
    Tour tour(nullptr, path.c_str());
    {
        TourSegmentRepair repair(&tour);
        EXPECT_TRUE(repair.Succeeded());
        EXPECT_EQ(repair.SegmentsCorrected(), 2);
        EXPECT_EQ(repair.BytesCut(), 0);
    }
    Collector r(path.c_str());
    ASSERT_EQ(r.Read(), 1);
    std::vector<Record> segments = r.Of(-6);
    ASSERT_EQ(segments.size(), 3u);
    EXPECT_EQ(segments[0].words[4], 36u + 8u);
    EXPECT_EQ(segments[1].words[4], 72u + 8u);
    EXPECT_EQ(segments[2].words[4], 0u);
    // A second run finds nothing to do, and skipping by the lengths now works.
    TourSegmentRepair again(&tour);
    EXPECT_EQ(again.SegmentsCorrected(), 0);
    Collector skip(path.c_str());
    skip.segmentAnswer = 0;
    ASSERT_EQ(skip.Read(), 1);
    EXPECT_EQ(skip.Points().size(), 3u);
}

TEST(TourSegmentRepair, CutsARecordLeftHalfWritten) {
    ScratchDir dir;
    Words w = Header();
    w << U(-6) << 0u << 58177u << 58177u << 0u << 0u;
    w << 0u << 100u << 100u << 0u << 0u << 0u << 0u << 0u << 0u;
    const size_t whole = w.size();
    w << 1u << 200u << 100u; // the start of a point
    const std::wstring path = dir.WriteFile(L"Torn.TUR", w.bytes());
    Tour tour(nullptr, path.c_str());
    {
        Collector before(&tour);
        ASSERT_EQ(before.Read(), 1);
        EXPECT_TRUE(before.Damaged());
        EXPECT_TRUE(before.TornTail());
        EXPECT_EQ(before.DamageOffset(), static_cast<int64_t>(whole));
        EXPECT_EQ(before.Points().size(), 1u);
    }
    TourSegmentRepair repair(&tour);
    EXPECT_EQ(repair.BytesCut(), 12);
    EXPECT_EQ(ScratchDir::ReadFile(path).size(), whole);

    // Damage inside the file is reported but never cut away.
    Words bad = Header();
    bad << U(-7) << 0u << 6u; // a length that is no multiple of 4
    bad << 0u << 100u << 100u << 0u << 0u << 0u << 0u << 0u << 0u;
    const std::wstring badPath = dir.WriteFile(L"Bad.TUR", bad.bytes());
    Tour badTour(nullptr, badPath.c_str());
    TourSegmentRepair keep(&badTour);
    EXPECT_EQ(keep.BytesCut(), 0);
    EXPECT_EQ(ScratchDir::ReadFile(badPath).size(), bad.size());
}

// A recording process killed in the middle of its work: every point it had written reads back,
// the repair at the next start leaves a valid file, and recording goes on in it.
TEST(TourSegmentRepair, RecordingKilledMidWriteReadsBackAndResumes) {
    ProgramKeyScope key;
    ScratchDir dir;
    const std::wstring tourPath = dir / L"Live.TUR";
    const std::wstring progress = dir / L"progress.bin";
    std::wstring command = L"\"" + HelperPath() + L"\" \"" + key.path() + L"\" \"" + tourPath +
                           L"\" \"" + progress + L"\"";
    for (int round = 0; round < 2; ++round) {
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        std::vector<wchar_t> line(command.begin(), command.end());
        line.push_back(0);
        ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &pi));
        const uint32_t target = 400 * (round + 1);
        for (int wait = 0; wait < 600 && ReadProgress(progress) < target; ++wait) {
            if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0)
                break;
        }
        TerminateProcess(pi.hProcess, 9);
        WaitForSingleObject(pi.hProcess, 10000);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        EXPECT_EQ(code, 9u) << "the helper ended by itself";
        const uint32_t written = ReadProgress(progress);
        ASSERT_GE(written, target);

        Tour tour(L"Live", tourPath.c_str());
        {
            Collector r(&tour);
            ASSERT_EQ(r.Read(), 1);
            // Each round starts its point numbers where the registry says; the helper writes
            // the same path again, so the first `written` points of this round follow the file's
            // last resume.
            std::vector<Record> points = r.Of(1);
            std::vector<Record> starts = r.Of(-3);
            ASSERT_FALSE(starts.empty());
            size_t first = 0;
            while (first < points.size() && points[first].offset < starts.back().offset)
                ++first;
            ASSERT_GE(points.size() - first, written);
            for (uint32_t i = 0; i < written; ++i)
                ASSERT_EQ(points[first + i].point.longitude, HelperLongitude(i)) << i;
            if (r.Damaged()) {
                EXPECT_TRUE(r.TornTail());
            }
        }
        TourSegmentRepair repair(&tour);
        ASSERT_TRUE(repair.Succeeded());
        Collector after(&tour);
        ASSERT_EQ(after.Read(), 1);
        EXPECT_FALSE(after.Damaged());
        tour.CloseFile();
    }
    // Recording resumes in the repaired file, and all of it reads without damage.
    Tour tour(L"Live", tourPath.c_str());
    size_t before = 0;
    {
        Collector r(&tour);
        ASSERT_EQ(r.Read(), 1);
        before = r.Points().size();
        tour.CloseFile();
    }
    {
        auto writer = TourWriter::ForTour(nullptr, &tour);
        for (int i = 0; i < 10; ++i) {
            ASSERT_TRUE(writer->LockForAppend());
            EXPECT_TRUE(writer->AddPoint(5000 + i, 5000, 0, 0, false, 0, nullptr, true));
            writer->Unlock();
        }
        writer->Close();
    }
    Collector r(&tour);
    ASSERT_EQ(r.Read(), 1);
    EXPECT_FALSE(r.Damaged());
    EXPECT_EQ(r.Points().size(), before + 10);
}

TEST(TourSegmentRepair, ResumingARecordingRepairsFirst) {
    ProgramKeyScope key;
    ScratchDir dir;
    Words w = Header();
    w << U(-6) << 0u << 58177u << 58177u << 0u << 0u;
    w << 0u << 100u << 100u << 0u << 0u << 0u << 0u << 0u << 0u;
    w << 1u << 200u; // cut off
    const std::wstring path = dir.WriteFile(L"Resume.TUR", w.bytes());
    Tour tour(L"Resume", path.c_str());
    {
        auto writer = TourWriter::ForTour(nullptr, &tour);
        ASSERT_TRUE(writer->LockForAppend());
        EXPECT_TRUE(writer->AddPoint(300, 100, 0, 0, false, 0, nullptr, true));
        writer->Unlock();
        writer->Close();
    }
    Collector r(path.c_str());
    ASSERT_EQ(r.Read(), 1);
    EXPECT_FALSE(r.Damaged());
    ASSERT_EQ(r.Points().size(), 2u);
    EXPECT_EQ(r.Points()[1].longitude, 300);
}
