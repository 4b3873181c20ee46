// Test entry: a fixed clock-free, modal-free environment for every test binary.
#include <gtest/gtest.h>

#include <clocale>

#include "platform/clock.h"
#include "platform/oem_info.h"
#include "tests/support/ui_recorder.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::setlocale(LC_ALL, "C");
    InstallStrictUiResponder();
    SetOemInfoForTesting(L"");
    // Setting the device clock must never reach the host's clock.
    SetClockHooks({nullptr, [](const SYSTEMTIME*) -> BOOL { return TRUE; }});
    return RUN_ALL_TESTS();
}
