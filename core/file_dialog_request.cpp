#include "core/file_dialog_request.h"

#include "core/device_profile.h"

namespace {
OPENFILENAMEW g_request;
wchar_t g_filter[kFileDialogTextChars];
wchar_t g_title[kFileDialogTextChars];
} // namespace

OPENFILENAMEW* GetFileDialogRequest() {
    return &g_request;
}
wchar_t* GetFileDialogFilter() {
    return g_filter;
}
wchar_t* GetFileDialogTitle() {
    return g_title;
}

void InitOpenFileName() {
    g_request = OPENFILENAMEW{};
    g_request.lStructSize = sizeof(g_request);
    g_request.hwndOwner = GetDeviceProfile()->mainWindow;
    g_request.lpstrFilter = g_filter;
    g_request.nMaxFile = kFileDialogTextChars;
    g_request.lpstrFileTitle = nullptr;
    g_request.lpstrTitle = g_title;
    g_request.nMaxFileTitle = kFileDialogTextChars;
}
