#include "gps/port_path.h"

#include <cwctype>

std::wstring PortDevicePath(const wchar_t* portName) {
    std::wstring name = portName ? portName : L"";
    size_t letters = 0;
    while (letters < name.size() && iswalpha(name[letters]))
        ++letters;
    size_t digits = letters;
    while (digits < name.size() && iswdigit(name[digits]))
        ++digits;
    bool isCom = letters == 3 && _wcsnicmp(name.c_str(), L"COM", 3) == 0;
    if (!isCom || digits == letters)
        return name;
    return L"\\\\.\\" + name.substr(0, digits);
}
