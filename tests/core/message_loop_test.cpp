#include "core/message_loop.h"

#include <gtest/gtest.h>

#include "core/device_profile.h"
#include "core/program_globals.h"
#include "manager/ui_state.h"
#include "tests/support/message_collector.h"

namespace {

constexpr int kBright = 6;
constexpr int kDim = 2;

class ScreenLockTest : public ::testing::Test {
protected:
    ScreenLockTest()
        : profile(GetDeviceProfile()), saved{profile->cfg8, profile->backlightLevel, profile->scale,
                                             profile->mainWindow} {
        collector.SetMinimum(0);
        SetWindowPos(collector.hwnd(), nullptr, 0, 0, 480, 640, SWP_NOZORDER | SWP_NOACTIVATE);
        profile->mainWindow = collector.hwnd();
        profile->cfg8 = 0;
        profile->set_backlight_control(true);
        profile->set_disp_lock(true);
        profile->set_disp_bright(kBright);
        profile->set_disp_dim(kDim);
        profile->backlightLevel = kDim;
        profile->inputSeen = 0;
        profile->scale = 1;
        g_unlockArmed = 0;
        GetClientRect(collector.hwnd(), &client);
    }
    ~ScreenLockTest() override {
        KillTimer(collector.hwnd(), kUnlockTimer);
        profile->cfg8 = saved.cfg8;
        profile->backlightLevel = saved.level;
        profile->scale = saved.scale;
        profile->mainWindow = saved.window;
        g_unlockArmed = 0;
    }

    // Runs a message through the loop step; true when it reached the window.
    bool Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        collector.Clear();
        MSG msg{collector.hwnd(), message, wParam, lParam, 0, {}};
        ProcessLoopMessage(&msg, nullptr);
        return collector.Count(message) > 0;
    }
    bool Tap(int x, int y) { return Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }

    DeviceProfile* profile;
    struct {
        uint32_t cfg8;
        int level;
        int scale;
        HWND window;
    } saved;
    MessageCollector collector;
    RECT client{};
};

TEST_F(ScreenLockTest, LockedAndDimmedDropsInputOnly) {
    ASSERT_TRUE(ScreenLockActive());
    const struct {
        UINT message;
        bool passes;
    } cases[] = {
        {WM_LBUTTONDOWN, false}, {WM_LBUTTONUP, false}, {WM_MOUSEMOVE, false}, {WM_VSCROLL, false},
        {WM_CHAR, false},        {WM_TIMER, true},      {WM_PAINT, true},      {WM_USER, true},
        {0x500, true},           {0x7FFF, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.passes, Send(c.message)) << std::hex << c.message;
    EXPECT_EQ(kDim, profile->backlightLevel) << "taps do not wake a locked display";
}

TEST_F(ScreenLockTest, KeyWakesTheDisplayAndIsDispatched) {
    EXPECT_TRUE(Send(WM_KEYDOWN, VK_RETURN));
    EXPECT_EQ(kBright, profile->backlightLevel);
    EXPECT_EQ(1, profile->inputSeen);
    EXPECT_FALSE(ScreenLockActive());
    EXPECT_TRUE(Tap(50, 10)) << "bright again: taps pass";
}

TEST_F(ScreenLockTest, WithoutTheLockATapWakesTheDimmedDisplay) {
    profile->set_disp_lock(false);
    EXPECT_TRUE(Tap(50, 10));
    EXPECT_EQ(kBright, profile->backlightLevel);
}

TEST_F(ScreenLockTest, CornerTapsUnlock) {
    const int bottom = client.bottom - 1;
    const int right = client.right - 1;
    EXPECT_FALSE(Tap(right, bottom)) << "lower right alone";
    EXPECT_EQ(kDim, profile->backlightLevel);
    EXPECT_EQ(0, g_unlockArmed);

    EXPECT_FALSE(Tap(1, bottom));
    EXPECT_EQ(1, g_unlockArmed);
    EXPECT_EQ(kDim, profile->backlightLevel);
    EXPECT_TRUE(Tap(right, bottom)) << "awake by then, the tap goes on to the window";
    EXPECT_EQ(kBright, profile->backlightLevel);
    EXPECT_EQ(1, profile->inputSeen);
}

TEST_F(ScreenLockTest, CornerSizeFollowsTheScale) {
    ASSERT_GT(client.right, 2 * 112);
    ASSERT_GT(client.bottom, 112);
    const int bottom = client.bottom - 1;
    Tap(80, bottom);
    EXPECT_EQ(0, g_unlockArmed) << "outside 56 pixels at scale 1";
    profile->scale = 2;
    Tap(80, bottom);
    EXPECT_EQ(1, g_unlockArmed) << "inside 112 pixels at scale 2";
    Tap(client.right - 80, client.bottom - 120);
    EXPECT_EQ(kDim, profile->backlightLevel) << "above the corner square";
    Tap(client.right - 80, bottom);
    EXPECT_EQ(kBright, profile->backlightLevel);
}

TEST_F(ScreenLockTest, UnlockTimerDisarms) {
    Tap(1, client.bottom - 1);
    ASSERT_EQ(1, g_unlockArmed);
    // The collector window records the timer; the main window's own procedure clears the flag,
    // which is checked with the real window in the frame tests.
    EXPECT_TRUE(collector.WaitFor(WM_TIMER, 3000));
}

TEST_F(ScreenLockTest, PendingCloseDestroysItsWindowAfterTheMessage) {
    HWND dialog = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    UIState* state = GetUIState();
    state->closeWindow = dialog;
    state->closePending = 1;
    EXPECT_TRUE(Send(WM_USER));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(0, state->closePending);
    state->closeWindow = nullptr;
}

} // namespace
