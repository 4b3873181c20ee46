#include "core/init_instance.h"
#include "gps/gps_instance.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app_settings.h"
#include "core/device_profile.h"
#include "core/program_globals.h"
#include "manager/manager.h"
#include "manager/ui_state.h"
#include "maps/manager_item.h"
#include "tests/support/program_key_scope.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/ui_recorder.h"
#include "tours/tour.h"
#include "tours/tour_writer.h"

namespace {

class ResumeTourTest : public ::testing::Test {
protected:
    ResumeTourTest() { g_managerRoot = new Manager(); }
    ~ResumeTourTest() override {
        delete ActiveTourWriter;
        ActiveTourWriter = nullptr;
        delete g_managerRoot;
        g_managerRoot = nullptr;
    }
    // A tour file that the Manager does not list yet.
    std::wstring MakeTour(const wchar_t* name) {
        std::wstring path = folder / name;
        Manager* manager = g_managerRoot;
        g_managerRoot = nullptr;
        {
            TourWriter writer(nullptr, path.c_str(), 0, kItemTour);
            EXPECT_TRUE(writer.HasFile());
            writer.AddPoint(100000000, 80000000, 0, 0, false, 0, nullptr, true);
            writer.Close();
        }
        g_managerRoot = manager;
        return path;
    }

    ProgramKeyScope key;
    ScratchDir folder;
};

TEST_F(ResumeTourTest, CurrentTourIsListedAndRecordedAgain) {
    std::wstring path = MakeTour(L"T2026-12-10_10-00.TUR");
    key.SetString(L"CurTour", path);
    key.SetDword(L"Distance", 1234);
    RestoreCurrentTour();

    ManagerItem* item = g_managerRoot->FindByPath(kListTours, path.c_str());
    ASSERT_NE(nullptr, item);
    EXPECT_STREQ(L"T2026-12-10_10-00", item->name);
    ASSERT_NE(nullptr, ActiveTourWriter);
    EXPECT_EQ(item, ActiveTourWriter->GetTour());
}

TEST_F(ResumeTourTest, MissingTourLeavesNoRecording) {
    key.SetString(L"CurTour", folder / L"gone.TUR");
    RestoreCurrentTour();
    EXPECT_EQ(nullptr, ActiveTourWriter);
    EXPECT_EQ(nullptr, g_managerRoot->lists[kListTours]);

    ProgramKeyScope empty;
    RestoreCurrentTour();
    EXPECT_EQ(nullptr, ActiveTourWriter);
}

} // namespace

namespace {

TEST_F(ResumeTourTest, TrackListBecomesTourItems) {
    std::wstring alps = MakeTour(L"Alps.TUR");
    key.SetString(L"Filename", alps, L"Tour\\Alps");
    key.SetString(L"Date", L"2026/12/10 10:00:00 and more text than fits", L"Tour\\Alps");
    key.SetDword(L"Visible", 1, L"Tour\\Alps");
    key.SetDword(L"Colour", RGB(1, 2, 3), L"Tour\\Alps");
    key.SetString(L"Filename", folder / L"gone.TUR", L"Tour\\Gone");
    LoadTrackList(g_managerRoot);

    auto* tour = dynamic_cast<Tour*>(g_managerRoot->FindByName(kListTours, L"Alps"));
    ASSERT_NE(nullptr, tour);
    EXPECT_STREQ(alps.c_str(), tour->path);
    EXPECT_EQ(1, tour->visible);
    EXPECT_EQ(RGB(1, 2, 3), tour->Colour());
    EXPECT_EQ(
        std::wstring(L"2026/12/10 10:00:00 and more text than fits").substr(0, kItemDateChars - 1),
        tour->dateText);
    EXPECT_FALSE(tour->IsOpen());
    EXPECT_EQ(1, tour->reserved) << "file present";
    ManagerItem* gone = g_managerRoot->FindByName(kListTours, L"Gone");
    ASSERT_NE(nullptr, gone);
    EXPECT_EQ(0, gone->reserved) << "file missing";

    LoadTrackList(g_managerRoot); // listed items are not added again
    int count = 0;
    for (ManagerItem* item = g_managerRoot->lists[kListTours]; item; item = item->next)
        ++count;
    EXPECT_EQ(2, count);
}

} // namespace

namespace {

TEST_F(ResumeTourTest, SelectedTourIsFoundAmongToursThenPois) {
    auto* tour = new Tour(L"Alps", L"\\Alps.TUR");
    auto* poi = new Tour(L"Huts", L"\\Huts.TUR");
    poi->kind = kItemPoiFile;
    g_managerRoot->AddItemAtHead(tour);
    g_managerRoot->AddItemAtHead(poi);
    UIState* state = GetUIState();
    DeviceProfile* profile = GetDeviceProfile();
    const uint32_t savedCfg4 = profile->cfg4;

    const struct {
        const wchar_t* stored;
        bool destination;
        ManagerItem* selected;
    } cases[] = {{L"alps", false, tour}, {L"Huts", true, poi}, {L"Nowhere", true, nullptr}};
    for (const auto& c : cases) {
        key.SetString(L"SelTour", c.stored);
        profile->set_tools_dest(c.destination);
        state->destinationItem = nullptr;
        ReadSelectedTour();
        EXPECT_EQ(c.selected, state->selectedTour);
        EXPECT_EQ(c.destination ? c.selected : nullptr, state->destinationItem);
    }

    state->SelectTour(tour, 0);
    AppSettings settings;
    SaveSettings(&settings, 0);
    std::wstring stored;
    ASSERT_TRUE(key.GetString(L"SelTour", &stored));
    EXPECT_EQ(L"Alps", stored);
    state->SelectTour(nullptr, 0);
    state->destinationItem = nullptr;
    profile->cfg4 = savedCfg4;
}

} // namespace

namespace {

class GpsStartTest : public ::testing::Test {
protected:
    GpsStartTest() {
        profile->set_cfg_gpsuse(true);
        profile->cfg1 |= 1u; // static navigation
        GpsStartupOps ops;
        ops.create = [this](const wchar_t* port, HWND, int baud) {
            created.push_back(std::wstring(port) + L"@" + std::to_wstring(baud));
            return fake;
        };
        ops.openAttempted = [this](GPS*) { return attempted; };
        ops.portOpen = [this](GPS*) { return open; };
        ops.sendSetup = [this](GPS*, int staticNavigation) { setups.push_back(staticNavigation); };
        ops.destroy = [this](GPS*) { ++destroyed; };
        previous = SetGpsStartupOpsForTesting(ops);
        wcscpy(settings.gpsPort, L"COM4:");
        settings.baudRate = 9600;
    }
    ~GpsStartTest() override {
        SetGpsStartupOpsForTesting(previous);
        ExchangeGpsObject(nullptr);
        profile->cfg7 = savedCfg7;
        profile->cfg1 = savedCfg1;
    }

    DeviceProfile* profile = GetDeviceProfile();
    const uint32_t savedCfg7 = profile->cfg7;
    const uint32_t savedCfg1 = profile->cfg1;
    ProgramKeyScope key;
    AppSettings settings;
    GpsStartupOps previous;
    GPS* fake = reinterpret_cast<GPS*>(0x1000);
    bool attempted = true;
    bool open = true;
    std::vector<std::wstring> created;
    std::vector<int> setups;
    int destroyed = 0;
};

TEST_F(GpsStartTest, OpenPortIsKeptAndSetUp) {
    StartGpsReceiver(&settings, nullptr, 300);
    EXPECT_EQ(std::vector<std::wstring>{L"COM4:@9600"}, created);
    EXPECT_EQ(fake, GpsObjectPointer());
    EXPECT_EQ(std::vector<int>{1}, setups);
    EXPECT_EQ(0, destroyed);
}

TEST_F(GpsStartTest, PortThatDidNotOpenIsDeleted) {
    open = false;
    StartGpsReceiver(&settings, nullptr, 300);
    EXPECT_EQ(nullptr, GpsObjectPointer());
    EXPECT_TRUE(setups.empty());
    EXPECT_EQ(1, destroyed);
}

TEST_F(GpsStartTest, ReceiverThatNeverTriesGivesUpAfterTheLimit) {
    attempted = false;
    DWORD start = GetTickCount();
    StartGpsReceiver(&settings, nullptr, 300);
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(nullptr, GpsObjectPointer());
    EXPECT_EQ(1, destroyed);
}

TEST_F(GpsStartTest, NotStartedWithoutGpsUseOrOnTheFirstStart) {
    profile->set_cfg_gpsuse(false);
    StartGpsReceiver(&settings, nullptr, 300);
    profile->set_cfg_gpsuse(true);
    key.SetDword(L"Install", 1);
    StartGpsReceiver(&settings, nullptr, 300);
    EXPECT_TRUE(created.empty());
    EXPECT_EQ(nullptr, GpsObjectPointer());
}

// The real receiver object on a port that does not exist: the open attempt fails, and the
// object is deleted again with its reader thread.
TEST(GpsStartReal, UnopenablePortLeavesNoReceiver) {
    ProgramKeyScope key;
    AppSettings settings;
    DeviceProfile* profile = GetDeviceProfile();
    const uint32_t savedCfg7 = profile->cfg7;
    profile->set_cfg_gpsuse(true);
    wcscpy(settings.gpsPort, L"COM97:");
    settings.baudRate = 4800;
    StartGpsReceiver(&settings, nullptr, 10000);
    EXPECT_EQ(nullptr, GpsObjectPointer());
    profile->cfg7 = savedCfg7;
}

} // namespace
