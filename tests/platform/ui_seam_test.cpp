#include "platform/ui_seam.h"

#include <gtest/gtest.h>

#include "tests/support/ui_recorder.h"

namespace {

// Stands for code under test that asks the user.
bool AskToOverwrite(HWND owner) {
    return UiMessageBox(owner, L"Overwrite the file?", L"Tour Export", MB_YESNO | MB_ICONQUESTION) ==
           IDYES;
}

BOOL CALLBACK CountOwnWindows(HWND hwnd, LPARAM param) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd))
        ++*reinterpret_cast<int*>(param);
    return TRUE;
}

TEST(UiSeam, RecorderAnswersMessageBoxWithoutAWindow) {
    UiRecorder ui;
    ui.QueueAnswer(IDYES);
    ui.QueueAnswer(IDNO);
    EXPECT_TRUE(AskToOverwrite(nullptr));
    EXPECT_FALSE(AskToOverwrite(nullptr));
    ASSERT_EQ(ui.count(), 2u);
    EXPECT_EQ(ui.last().kind, UiKind::MessageBox);
    EXPECT_EQ(ui.last().text, L"Overwrite the file?");
    EXPECT_EQ(ui.last().caption, L"Tour Export");
    EXPECT_EQ(ui.last().flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));

    int windows = 0;
    EnumWindows(CountOwnWindows, reinterpret_cast<LPARAM>(&windows));
    EXPECT_EQ(windows, 0);
}

TEST(UiSeam, DialogRequestCarriesTemplateId) {
    UiRecorder ui(IDCANCEL);
    INT_PTR r = UiDialogBox(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(249), nullptr, nullptr, 0);
    EXPECT_EQ(r, IDCANCEL);
    ASSERT_EQ(ui.count(), 1u);
    EXPECT_EQ(ui.last().kind, UiKind::Dialog);
    EXPECT_EQ(ui.last().resourceId, 249);
}

} // namespace
