// Finds the port and baud rate on which a receiver sends valid NMEA, trying the configured
// port first and then every port of the GPS settings dialog's list.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The settings the search reads and, on success, writes and saves.
struct GpsPortSettings {
    std::wstring port;                                // "COM Port", such as "COM6:"
    int baud = 4800;                                  // "Baudrate"
    std::function<void(const GpsPortSettings&)> save; // SaveGpsPort
};

// Dialog items the search fills while it works.
constexpr int kIdcGpsPort = 1076;   // combo box: port names, item data = ComPortList index
constexpr int kIdcGpsDriver = 1078; // the driver key of the port being tried
constexpr int kIdcGpsBaud = 1080;   // combo box: "%d baud"

// The configured rate first, then 4800, 9600, 19200, 38400, 2400, 57600 without repeating it.
std::vector<int> AutoDetectBaudSeries(int configured);

// On success the process-wide GPS object runs on the found port and the settings hold it; on
// failure there is no GPS object. Blocks for up to 2 s per rate and port.
void GpsAutoDetect(GpsPortSettings& settings, HWND mainWindow, HWND dialog);

// How long one rate is given to show valid data (tests shorten it).
void SetAutoDetectRateWaitForTesting(DWORD ms);
