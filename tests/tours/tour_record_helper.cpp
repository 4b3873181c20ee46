// Records points into a tour until it is killed: tour_record_helper <program key> <tour path>
// <progress file>. After each point that has reached the file it writes the number of points
// written so far into the progress file.
#include <windows.h>
#include <shellapi.h>
#include <cwchar>

#include "platform/program_key.h"
#include "tours/tour_writer.h"

namespace {

class SteadyFix : public TourFixSource {
public:
    TourFix CurrentFix() const override {
        TourFix f;
        f.fixMode = 3;
        f.satellites = 8;
        return f;
    }
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 4)
        return 2;
    SetProgramKeyPathForTesting(argv[1]);
    SteadyFix fix;
    Tour tour(L"Killed", argv[2]);
    auto writer = TourWriter::ForTour(&fix, &tour);
    if (!writer->HasFile())
        return 3;
    HANDLE progress = CreateFileW(argv[3], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    for (uint32_t i = 0;; ++i) {
        if (!writer->LockForAppend())
            return 4;
        // A path that leaves its cell now and then, and a waypoint with texts every 50 points.
        const int32_t lon = 100000000 + static_cast<int32_t>(i) * 997;
        const int32_t lat = 800000000 + static_cast<int32_t>(i % 300) * 331;
        bool ok = i % 50 == 49 ? writer->AddWaypoint(lon, lat, 100, 0, nullptr, "Mark",
                                                     L"Mark name", L"Mark description")
                               : writer->AddPoint(lon, lat, static_cast<int32_t>(i), 10, false, 0,
                                                  nullptr, true);
        writer->Unlock();
        if (!ok)
            return 5;
        DWORD put = 0;
        const uint32_t done = i + 1;
        SetFilePointer(progress, 0, nullptr, FILE_BEGIN);
        WriteFile(progress, &done, 4, &put, nullptr);
    }
}
