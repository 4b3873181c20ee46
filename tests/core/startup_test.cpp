#include "core/init_instance.h"

#include <gtest/gtest.h>

#include "core/app_settings.h"
#include "core/program_globals.h"
#include "manager/manager.h"
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
    std::wstring MakeTour(const wchar_t* name) {
        std::wstring path = folder / name;
        TourWriter writer(nullptr, path.c_str(), 0, kItemTour);
        EXPECT_TRUE(writer.HasFile());
        writer.AddPoint(100000000, 80000000, 0, 0, false, 0, nullptr, true);
        writer.Close();
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
