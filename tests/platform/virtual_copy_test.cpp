#include "platform/display_settings.h"
#include "platform/virtual_copy.h"

#include <gtest/gtest.h>

namespace {

TEST(VirtualCopy, BindsOnlySimulatedRegisters) {
    SimulatedRegisters regs(0xB1C00000, 384);
    regs.Write(12, 1000);
    auto* window = static_cast<volatile uint32_t*>(CeVirtualAlloc(384));
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(VirtualCopy(const_cast<uint32_t*>(window), reinterpret_cast<void*>(0xB1C00000), 384,
                            PAGE_READWRITE | PAGE_NOCACHE));
    EXPECT_EQ(1000u, window[3]);
    window[4] = 333; // the program's write reaches the block
    EXPECT_EQ(333u, regs.Read(16));
    EXPECT_TRUE(CeVirtualFree(const_cast<uint32_t*>(window)));

    void* other = CeVirtualAlloc(384);
    EXPECT_FALSE(VirtualCopy(other, reinterpret_cast<void*>(0xB0D00000), 384, PAGE_READWRITE));
    EXPECT_FALSE(VirtualCopy(other, reinterpret_cast<void*>(0xB1C00000), 4096, PAGE_READWRITE));
    EXPECT_TRUE(CeVirtualFree(other));
}

TEST(DisplaySettings, CeOrientationValues) {
    SetDisplayDriverForTesting(kCeDmdo90 | kCeDmdo270, kCeDmdo0);
    DEVMODEW mode{};
    mode.dmFields = kCeDmDisplayQueryOrientation;
    ASSERT_EQ(DISP_CHANGE_SUCCESSFUL, CeChangeDisplaySettingsEx(&mode, CDS_TEST));
    EXPECT_EQ(kCeDmdo90 | kCeDmdo270, mode.dmDisplayOrientation);
    const struct {
        DWORD wanted;
        LONG result;
        DWORD after;
    } cases[] = {{kCeDmdo270, DISP_CHANGE_SUCCESSFUL, kCeDmdo270},
                 {kCeDmdo180, DISP_CHANGE_BADMODE, kCeDmdo270}, // not supported
                 {3, DISP_CHANGE_BADPARAM, kCeDmdo270},         // the desktop's 270
                 {kCeDmdo0, DISP_CHANGE_SUCCESSFUL, kCeDmdo0}};
    for (const auto& c : cases) {
        mode.dmFields = kCeDmDisplayOrientation;
        mode.dmDisplayOrientation = c.wanted;
        EXPECT_EQ(c.result, CeChangeDisplaySettingsEx(&mode, CDS_RESET)) << c.wanted;
        mode.dmDisplayOrientation = 99;
        ASSERT_EQ(DISP_CHANGE_SUCCESSFUL, CeChangeDisplaySettingsEx(&mode, CDS_TEST));
        EXPECT_EQ(c.after, mode.dmDisplayOrientation) << c.wanted;
    }
    SetDisplayDriverForTesting(kCeDmdo90 | kCeDmdo180 | kCeDmdo270, kCeDmdo0);
}

} // namespace
