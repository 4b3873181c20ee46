#include "gps/com_port_list.h"

#include <windows.h>

#include <cwchar>
#include <new>

#include "gps/port_path.h"
#include "platform/ui_seam.h"

namespace {
const wchar_t kActiveKey[] = L"Drivers\\Active";
constexpr int kMaxPortNumber = 255;

const wchar_t* const kPortPrefixes[] = {L"COM", L"GPS", L"BTC"};

bool HasPortPrefix(const wchar_t* name) {
    for (const wchar_t* prefix : kPortPrefixes)
        if (wcsncmp(name, prefix, 3) == 0)
            return true;
    return false;
}

void CopyText(const wchar_t* from, wchar_t* to, size_t toChars) {
    size_t n = 0;
    for (; from[n] && n + 1 < toChars; ++n)
        to[n] = from[n];
    to[n] = 0;
}

void NumberedKey(int n, wchar_t* out, size_t outChars) {
    swprintf(out, outChars, n < 10 ? L"%ls\\0%d" : L"%ls\\%d", kActiveKey, n);
}

void ReportNoMemory() {
    UiMessageBox(nullptr, L"no memory!", L"COM", MB_OK);
}
} // namespace

int PortNumberFromName(const wchar_t* name) {
    if (!name || !HasPortPrefix(name))
        return 0;
    const wchar_t* p = name + 3;
    int n = 0;
    int digits = 0;
    for (; *p >= L'0' && *p <= L'9' && digits < 4; ++p, ++digits)
        n = n * 10 + (*p - L'0');
    // Exactly the text "%s%d:": no leading zeros, colon last.
    if (digits == 0 || (digits > 1 && name[3] == L'0') || p[0] != L':' || p[1] != 0)
        return 0;
    return n >= 1 && n <= kMaxPortNumber ? n : 0;
}

bool ComPortList::ReadText(const wchar_t* key, const wchar_t* value, wchar_t* out,
                           size_t outChars) {
    out[0] = 0;
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) {
        status_ = kKeyMissing;
        return false;
    }
    std::vector<wchar_t> buffer(outChars + 1, 0);
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(outChars * sizeof(wchar_t));
    LONG rc =
        RegQueryValueExW(h, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    RegCloseKey(h);
    if (rc == ERROR_FILE_NOT_FOUND || (rc == ERROR_SUCCESS && type != REG_SZ)) {
        status_ = kNotText;
        return false;
    }
    if (rc != ERROR_SUCCESS) { // ERROR_MORE_DATA included: too long to be one of ours
        status_ = kUnreadable;
        return false;
    }
    buffer[outChars] = 0;
    CopyText(buffer.data(), out, outChars);
    status_ = kRead;
    return true;
}

bool ComPortList::Reserve(size_t count) {
    try {
        entries_.reserve(count);
    } catch (const std::bad_alloc&) {
        entries_.clear();
        ReportNoMemory();
        return false;
    }
    return true;
}

void ComPortList::Append(int32_t number, const wchar_t* name, const wchar_t* key) {
    // The second pass may see a port added after the counting pass: never store more entries
    // than were counted and reserved.
    if (entries_.size() >= entries_.capacity())
        return;
    Entry e{};
    e.number = number;
    CopyText(name, e.name, kPortNameChars);
    CopyText(key, e.key, kDriverKeyChars);
    entries_.push_back(e);
}

void ComPortList::Build(int probe) {
    entries_.clear();
    entries_.shrink_to_fit();
    status_ = kRead;
    wchar_t key[64];
    // Room for one more character than an entry holds, so that over-long names are noticed
    // and skipped instead of being cut into another port's name.
    wchar_t name[kPortNameChars + 1];
    size_t counted = 0;
    bool seen6 = false, seen7 = false;
    for (int n = 1; n <= kMaxPortNumber; ++n) {
        NumberedKey(n, key, 64);
        if (!ReadText(key, L"Name", name, kPortNameChars + 1) || wcslen(name) < 4 ||
            wcslen(name) >= kPortNameChars)
            continue;
        seen6 = seen6 || wcscmp(name, L"COM6:") == 0;
        seen7 = seen7 || wcscmp(name, L"COM7:") == 0;
        counted += HasPortPrefix(name);
    }
    if (counted == 0)
        return;
    if (!Reserve(counted + !seen6 + !seen7))
        return;
    wchar_t driver[kDriverKeyChars];
    for (int n = 1; n <= kMaxPortNumber && entries_.size() < counted; ++n) {
        NumberedKey(n, key, 64);
        if (!ReadText(key, L"Name", name, kPortNameChars + 1) || wcslen(name) < 4 ||
            wcslen(name) >= kPortNameChars || !HasPortPrefix(name))
            continue;
        if (probe && !Probe(name))
            continue;
        ReadText(key, L"Key", driver, kDriverKeyChars);
        Append(PortNumberFromName(name), name, driver);
    }
    if (!seen6)
        Append(6, L"COM6:", L"com6");
    if (!seen7)
        Append(7, L"COM7:", L"com7");
}

void ComPortList::BuildFromValues() {
    entries_.clear();
    entries_.shrink_to_fit();
    status_ = kRead;
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Drivers\\Active\\", 0, KEY_QUERY_VALUE, &h) !=
        ERROR_SUCCESS)
        return;
    wchar_t valueName[kDriverKeyChars];
    wchar_t data[kDriverKeyChars];
    auto enumerate = [&](DWORD index, DWORD* type) {
        DWORD nameChars = kDriverKeyChars;
        DWORD bytes = sizeof(data) - sizeof(wchar_t);
        LONG rc = RegEnumValueW(h, index, valueName, &nameChars, nullptr, type,
                                reinterpret_cast<BYTE*>(data), &bytes);
        data[bytes / sizeof(wchar_t) < kDriverKeyChars ? bytes / sizeof(wchar_t)
                                                       : kDriverKeyChars - 1] = 0;
        return rc;
    };
    DWORD count = 0;
    DWORD type = 0;
    for (LONG rc; (rc = enumerate(count, &type)) != ERROR_NO_MORE_ITEMS; ++count)
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA)
            break;
    if (count == 0 || !Reserve(count)) {
        RegCloseKey(h);
        return;
    }
    for (DWORD i = 0; i < count; ++i) {
        if (enumerate(i, &type) != ERROR_SUCCESS || type != REG_SZ)
            continue;
        size_t len = wcslen(data);
        bool colon = len > 0 && data[len - 1] == L':';
        if (len == 0 || len + !colon >= kPortNameChars)
            continue; // does not fit an entry: never cut into another port's name
        wchar_t name[kPortNameChars];
        swprintf(name, kPortNameChars, L"%ls%ls", data, colon ? L"" : L":");
        Append(PortNumberFromName(name), name, valueName);
    }
    RegCloseKey(h);
}

int ComPortList::Count() const {
    return static_cast<int>(entries_.size());
}

int ComPortList::GetNumber(int i) const {
    return i >= 0 && i < Count() ? entries_[i].number : 0;
}

const wchar_t* ComPortList::GetName(int i) const {
    return i >= 0 && i < Count() ? entries_[i].name : L"";
}

const wchar_t* ComPortList::GetKey(int i) const {
    return i >= 0 && i < Count() ? entries_[i].key : L"";
}

const wchar_t* ComPortList::GetKeyLeaf(int i) const {
    const wchar_t* key = GetKey(i);
    const wchar_t* slash = wcsrchr(key, L'\\');
    return slash ? slash + 1 : key;
}

bool ComPortList::Probe(const wchar_t* name) {
    HANDLE h = CreateFileW(PortDevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}
