#include "platform/oem_info.h"

#include <windows.h>

#include <mutex>
#include <string>

const wchar_t kPlatformSettingsKey[] = L"SOFTWARE\\Tarn-Wick Platform";

namespace {
std::mutex g_lock;
bool g_overridden = false;
std::wstring g_override;

void CopyBounded(const wchar_t* text, wchar_t* out, size_t outChars) {
    if (!out || outChars == 0)
        return;
    size_t n = 0;
    for (; text && text[n] && n + 1 < outChars; ++n)
        out[n] = text[n];
    out[n] = 0;
}
} // namespace

void SetOemInfoForTesting(const wchar_t* oem) {
    std::lock_guard<std::mutex> hold(g_lock);
    g_overridden = oem != nullptr;
    g_override = oem ? oem : L"";
}

bool GetOemInfo(wchar_t* out, size_t outChars) {
    CopyBounded(L"", out, outChars);
    {
        std::lock_guard<std::mutex> hold(g_lock);
        if (g_overridden) {
            CopyBounded(g_override.c_str(), out, outChars);
            return !g_override.empty();
        }
    }
    wchar_t value[256] = {};
    DWORD bytes = sizeof(value) - sizeof(wchar_t); // keep room for the terminator
    DWORD type = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kPlatformSettingsKey, L"OemInfo", RRF_RT_REG_SZ, &type,
                     value, &bytes) != ERROR_SUCCESS)
        return false;
    value[255] = 0;
    CopyBounded(value, out, outChars);
    return value[0] != 0;
}
