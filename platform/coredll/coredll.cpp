// SipGetCurrentIM / SipSetCurrentIM. The current input method is a device-wide setting that
// outlives the program, so it is kept in the platform's registry key:
// HKEY_LOCAL_MACHINE\SOFTWARE\Tarn-Wick Platform "CurrentIM" (16 bytes, a CLSID).
#include <windows.h>

#include <string>

namespace {
const wchar_t kKey[] = L"SOFTWARE\\Tarn-Wick Platform"; // the platform layer's settings key
// A test that keeps this library loaded may move the value to a key of its own, so that
// programs started meanwhile do not disturb it.
std::wstring g_key = kKey;
const wchar_t kValue[] = L"CurrentIM";
// The standard keyboard input method of Windows CE, current until something else is chosen.
const CLSID kKeyboardIM = {
    0x42429667, 0xae04, 0x11d0, {0xa4, 0xf8, 0x00, 0xaa, 0x00, 0xa7, 0x49, 0xb9}};
} // namespace

extern "C" __declspec(dllexport) BOOL SipGetCurrentIM(CLSID* clsid) {
    if (!clsid)
        return FALSE;
    CLSID stored{};
    DWORD size = sizeof(stored);
    LONG rc = RegGetValueW(HKEY_LOCAL_MACHINE, g_key.c_str(), kValue, RRF_RT_REG_BINARY, nullptr,
                           &stored, &size);
    if (rc == ERROR_FILE_NOT_FOUND) {
        *clsid = kKeyboardIM;
        return TRUE;
    }
    if (rc != ERROR_SUCCESS || size != sizeof(stored)) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    *clsid = stored;
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL SipSetCurrentIM(CLSID* clsid) {
    if (!clsid)
        return FALSE;
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, g_key.c_str(), kValue, REG_BINARY, clsid,
                           sizeof(*clsid)) == ERROR_SUCCESS;
}

// nullptr: the platform key again.
extern "C" __declspec(dllexport) void SipStoreKeyForTesting(const wchar_t* key) {
    g_key = key ? key : kKey;
}
