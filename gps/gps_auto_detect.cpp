#include "gps/gps_auto_detect.h"

#include <cwchar>

#include "core/resource_module.h"
#include "gps/com_port_list.h"
#include "gps/gps.h"
#include "gps/gps_instance.h"
#include "platform/ui_seam.h"
#include "resources/resource.h"

namespace {
const int kBaudRates[] = {4800, 9600, 19200, 38400, 2400, 57600};
constexpr DWORD kOpenWaitMs = 5000;
DWORD g_rateWaitMs = 2000;

std::wstring ComboText(HWND dialog, int id, int item) {
    LRESULT len = SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, item, 0);
    if (len == CB_ERR || len < 0 || len > 1024)
        return L"";
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(wcslen(text.c_str()));
    return text;
}

void SelectByPrefix(HWND dialog, int id, const std::wstring& prefix) {
    LRESULT i = SendDlgItemMessageW(dialog, id, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(prefix.c_str()));
    if (i != CB_ERR)
        SendDlgItemMessageW(dialog, id, CB_SETCURSEL, i, 0);
}

void ShowDriverKey(HWND dialog, const ComPortList& list) {
    LRESULT sel = SendDlgItemMessageW(dialog, kIdcGpsPort, CB_GETCURSEL, 0, 0);
    LRESULT index =
        sel == CB_ERR ? -1 : SendDlgItemMessageW(dialog, kIdcGpsPort, CB_GETITEMDATA, sel, 0);
    const wchar_t* key =
        index >= 0 && index < list.Count() ? list.GetKey(static_cast<int>(index)) : L"";
    SetDlgItemTextW(dialog, kIdcGpsDriver, key);
}

std::wstring LoadText(UINT id) {
    wchar_t text[256];
    LoadResString(id, text, 256);
    return text;
}

// The texts carry "%s" for the port: wide text here.
std::wstring FoundText(const std::wstring& port, int baud) {
    std::wstring format = LoadText(IDS_GPS_FOUND);
    size_t at = format.find(L"%s");
    if (at != std::wstring::npos)
        format.replace(at, 2, L"%ls");
    wchar_t text[300];
    swprintf(text, 300, format.c_str(), port.c_str(), baud);
    return text;
}

bool TryRates(GPS* gps, const GpsPortSettings& settings, HWND dialog, int* foundBaud) {
    for (int baud : AutoDetectBaudSeries(settings.baud)) {
        wchar_t item[32];
        swprintf(item, 32, L"%d baud", baud);
        SelectByPrefix(dialog, kIdcGpsBaud, item);
        gps->SetBaudrate(baud);
        if (!gps->dataReceived)
            Sleep(g_rateWaitMs);
        if (gps->dataReceived) {
            *foundBaud = baud;
            return true;
        }
    }
    return false;
}
} // namespace

void SetAutoDetectRateWaitForTesting(DWORD ms) {
    g_rateWaitMs = ms;
}

std::vector<int> AutoDetectBaudSeries(int configured) {
    std::vector<int> series{configured};
    for (int rate : kBaudRates)
        if (rate != configured)
            series.push_back(rate);
    return series;
}

void GpsAutoDetect(GpsPortSettings& settings, HWND mainWindow, HWND dialog) {
    ComPortList list;
    list.Build(0);
    DeleteGpsObject();
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    LRESULT items = SendDlgItemMessageW(dialog, kIdcGpsPort, CB_GETCOUNT, 0, 0);
    if (items == CB_ERR || items < 0)
        items = 0;
    bool found = false;
    for (int candidate = -1; candidate < items && !found; ++candidate) {
        std::wstring port;
        if (candidate < 0) {
            port = settings.port;
            SelectByPrefix(dialog, kIdcGpsPort, port);
        } else {
            port = ComboText(dialog, kIdcGpsPort, candidate);
            // The platform's own GPS driver port is not a serial receiver.
            if (port.empty() || port == settings.port || port.compare(0, 3, L"GPD") == 0)
                continue;
            SendDlgItemMessageW(dialog, kIdcGpsPort, CB_SETCURSEL, candidate, 0);
        }
        ShowDriverKey(dialog, list);
        GPS* gps = new GPS(port.c_str(), mainWindow, NmeaTextBuffer, settings.baud);
        ReplaceGpsObject(gps);
        // Returns at once when the object starts no reader (receiver off, "GARMIN USB").
        if (!gps->WaitForOpen(kOpenWaitMs)) {
            DeleteGpsObject();
            continue;
        }
        int baud = 0;
        if (TryRates(gps, settings, dialog, &baud)) {
            found = true;
            UiMessageBox(dialog, FoundText(gps->portName(), baud).c_str(),
                         LoadText(IDS_GPS_AUTOCONFIG).c_str(), MB_OK);
            settings.port = gps->portName();
            settings.baud = baud;
            if (settings.save)
                settings.save(settings);
        } else {
            DeleteGpsObject();
            Sleep(200);
        }
    }
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    if (!found)
        UiMessageBox(dialog, LoadText(IDS_GPS_NOT_FOUND).c_str(),
                     LoadText(IDS_GPS_AUTOCONFIG).c_str(), MB_OK);
}
