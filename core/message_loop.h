// The user-interface message loop: the touch-screen lock while the display is dimmed, the
// corner taps that unlock it, dispatch and the deferred closes.
#pragma once
#include <windows.h>

constexpr UINT_PTR kUnlockTimer = 105;
constexpr UINT kUnlockTimerMs = 700;
constexpr int kCornerSize = 56; // pixels at scale 1

// True while the lock option is on and the backlight stands at its dim level.
bool ScreenLockActive();
// Runs one message through the loop's steps.
void ProcessLoopMessage(MSG* msg, HACCEL accelerators);
// Runs until the quit message; returns its wParam.
WPARAM RunMessageLoop(HACCEL accelerators);
