// Device paths of receiver ports. The device names "COM6:" carry a colon that desktop Windows
// (and Wine) do not know: COM ports open as "\\.\COM6" whatever their number.
#pragma once
#include <string>

std::wstring PortDevicePath(const wchar_t* portName);
