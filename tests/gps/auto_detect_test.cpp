#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "gps/gps.h"
#include "gps/gps_auto_detect.h"
#include "gps/gps_instance.h"
#include "tests/gps/gps_test_util.h"
#include "tests/gps/pty_port.h"
#include "tests/support/ui_recorder.h"

TEST(AutoDetectBaudSeries, ConfiguredRateFirstWithoutRepeats) {
    EXPECT_EQ(AutoDetectBaudSeries(9600),
              (std::vector<int>{9600, 4800, 19200, 38400, 2400, 57600}));
    EXPECT_EQ(AutoDetectBaudSeries(4800),
              (std::vector<int>{4800, 9600, 19200, 38400, 2400, 57600}));
    EXPECT_EQ(AutoDetectBaudSeries(115200),
              (std::vector<int>{115200, 4800, 9600, 19200, 38400, 2400, 57600}));
}

namespace {
// The three items of the GPS settings dialog that the search uses.
class PortDialog {
public:
    PortDialog() {
        hwnd_ = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 200, 200, nullptr, nullptr,
                                nullptr, nullptr);
        auto child = [&](const wchar_t* cls, int id) {
            CreateWindowExW(0, cls, L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 100, hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        };
        child(L"COMBOBOX", kIdcGpsPort);
        child(L"STATIC", kIdcGpsDriver);
        child(L"COMBOBOX", kIdcGpsBaud);
        for (int baud : {2400, 4800, 9600, 19200, 38400, 57600}) {
            wchar_t item[32];
            swprintf(item, 32, L"%d baud", baud);
            SendDlgItemMessageW(hwnd_, kIdcGpsBaud, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(item));
        }
    }
    ~PortDialog() { DestroyWindow(hwnd_); }
    void AddPort(const wchar_t* name, LPARAM listIndex) {
        LRESULT i = SendDlgItemMessageW(hwnd_, kIdcGpsPort, CB_ADDSTRING, 0,
                                        reinterpret_cast<LPARAM>(name));
        SendDlgItemMessageW(hwnd_, kIdcGpsPort, CB_SETITEMDATA, i, listIndex);
    }
    std::wstring Selected(int id) const {
        wchar_t text[64] = {};
        LRESULT i = SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0);
        if (i != CB_ERR)
            SendDlgItemMessageW(hwnd_, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        return text;
    }
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_;
};

// Sends a position every 100 ms while it lives.
class Talker {
public:
    explicit Talker(PtyPortPair& pty)
        : thread_([this, &pty] {
              std::string gga =
                  Nmea("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") + "\r\n";
              while (!stop_) {
                  pty.Write(gga);
                  Sleep(100);
              }
          }) {}
    ~Talker() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
} // namespace

TEST(GpsAutoDetect, FindsTheReceiverOnTheConfiguredPortAtOnce) {
    PtyPortPair pty(22, 23);
    ASSERT_TRUE(pty.ok());
    Talker talker(pty);
    PortDialog dialog;
    dialog.AddPort(L"COM22:", 0);
    UiRecorder ui;
    int saves = 0;
    GpsPortSettings settings{L"COM22:", 9600, [&](const GpsPortSettings&) { ++saves; }};
    GpsAutoDetect(settings, nullptr, dialog.hwnd());
    ASSERT_NE(GpsObjectPointer(), nullptr);
    EXPECT_EQ(settings.port, L"COM22:");
    EXPECT_EQ(settings.baud, 9600); // the first rate tried
    EXPECT_EQ(saves, 1);
    ASSERT_EQ(ui.count(), 1u);
    EXPECT_EQ(ui.last().text, L"Found GPS at Port COM22:\r\nBaudrate is 9600");
    EXPECT_EQ(ui.last().caption, L"Auto Config GPS");
    EXPECT_EQ(dialog.Selected(kIdcGpsBaud), L"9600 baud");
    DeleteGpsObject();
}

TEST(GpsAutoDetect, SkipsTriedAndDriverPortsAndReportsNothingFound) {
    SetAutoDetectRateWaitForTesting(10);
    PortDialog dialog;
    dialog.AddPort(L"COM28:", 0); // the configured one: tried first, not again
    dialog.AddPort(L"GPD0:", 1);  // the platform's GPS driver: never tried
    dialog.AddPort(L"COM27:", 2); // no device: costs no rate tries
    UiRecorder ui;
    GpsPortSettings settings{L"COM28:", 4800, nullptr};
    GpsAutoDetect(settings, nullptr, dialog.hwnd());
    SetAutoDetectRateWaitForTesting(2000);
    EXPECT_EQ(GpsObjectPointer(), nullptr);
    EXPECT_EQ(settings.port, L"COM28:");
    ASSERT_EQ(ui.count(), 1u);
    EXPECT_EQ(ui.last().text, L"No GPS found\r\nPlease check the device and try maunally");
    EXPECT_EQ(dialog.Selected(kIdcGpsPort), L"COM27:"); // the last port tried
}
