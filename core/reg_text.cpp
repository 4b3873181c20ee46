#include "core/reg_text.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::string Narrow(const wchar_t* text, size_t chars) {
    if (chars == 0)
        return std::string();
    int n =
        WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(chars), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(chars), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Widen(const char* text, size_t bytes) {
    if (bytes == 0)
        return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(bytes), nullptr, 0);
    std::wstring out(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(bytes), &out[0], n);
    return out;
}

class KeyHandle {
public:
    KeyHandle() = default;
    ~KeyHandle() { Reset(); }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    HKEY* Out() {
        Reset();
        return &key_;
    }
    HKEY get() const { return key_; }
    void Reset() {
        if (key_)
            RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    HKEY key_ = nullptr;
};

// ---- writer ----

struct RegValue {
    std::wstring name;
    DWORD type = 0;
    std::vector<uint8_t> data;
};

// Enumerates the values with buffers sized from the key's own maxima, so that no value is cut.
std::vector<RegValue> ReadValues(HKEY key) {
    std::vector<RegValue> values;
    DWORD maxName = 0, maxData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS)
        return values;
    std::vector<wchar_t> name(maxName + 1);
    std::vector<uint8_t> data(maxData + 2);
    for (DWORD index = 0;;) {
        DWORD nameChars = static_cast<DWORD>(name.size());
        DWORD dataBytes = static_cast<DWORD>(data.size());
        DWORD type = 0;
        LONG rc = RegEnumValueW(key, index, name.data(), &nameChars, nullptr, &type, data.data(),
                                &dataBytes);
        if (rc == ERROR_MORE_DATA) { // the key grew meanwhile
            name.resize(name.size() * 2 + 64);
            data.resize(data.size() * 2 + 64);
            continue;
        }
        if (rc != ERROR_SUCCESS)
            break;
        RegValue v;
        v.name.assign(name.data(), nameChars);
        v.type = type;
        v.data.assign(data.begin(), data.begin() + dataBytes);
        values.push_back(std::move(v));
        ++index;
    }
    return values;
}

std::vector<std::wstring> ReadSubkeys(HKEY key) {
    std::vector<std::wstring> names;
    DWORD maxSubkey = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &maxSubkey, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::vector<wchar_t> name(maxSubkey + 1);
    for (DWORD index = 0;;) {
        DWORD chars = static_cast<DWORD>(name.size());
        LONG rc =
            RegEnumKeyExW(key, index, name.data(), &chars, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA) {
            name.resize(name.size() * 2 + 64);
            continue;
        }
        if (rc != ERROR_SUCCESS)
            break;
        names.emplace_back(name.data(), chars);
        ++index;
    }
    return names;
}

std::string ValueLine(const RegValue& v) {
    std::string line = "\"" + Narrow(v.name.data(), v.name.size()) + "\"=";
    char hex[16];
    switch (v.type) {
    case REG_SZ: {
        // Stored strings need not carry their terminator; stop at the first zero if they do.
        size_t chars = v.data.size() / sizeof(wchar_t);
        std::wstring text(chars, L'\0');
        if (chars)
            memcpy(&text[0], v.data.data(), chars * sizeof(wchar_t));
        text.resize(wcsnlen(text.c_str(), chars));
        return line + "\"" + Narrow(text.data(), text.size()) + "\"\r\n";
    }
    case REG_DWORD: {
        uint32_t value = 0;
        memcpy(&value, v.data.data(), v.data.size() < 4 ? v.data.size() : 4);
        snprintf(hex, sizeof(hex), "%8.8x", static_cast<unsigned>(value));
        return line + "dword:" + hex + "\r\n";
    }
    case REG_BINARY: {
        line += "hex:";
        for (size_t i = 0; i < v.data.size(); ++i) {
            snprintf(hex, sizeof(hex), i ? ",%2.2x" : "%2.2x", v.data[i]);
            line += hex;
        }
        return line + "\r\n";
    }
    default:
        return std::string();
    }
}

// ---- parser ----

bool InSet(char c, const char* set) {
    return c != '\0' && strchr(set, c) != nullptr;
}

// A bounded cursor over one line (no line ending inside).
struct Cursor {
    const char* p;
    const char* end;
    bool AtEnd() const { return p >= end; }
    // Consumes at least one character of `set`; false when none.
    bool Span(const char* set) {
        const char* start = p;
        while (p < end && InSet(*p, set))
            ++p;
        return p > start;
    }
    // Consumes characters not in `stop`; the run goes to *out. False when it is empty.
    bool Until(const char* stop, std::string* out) {
        const char* start = p;
        while (p < end && !InSet(*p, stop))
            ++p;
        out->assign(start, p);
        return p > start;
    }
    bool Literal(const char* word) {
        size_t n = strlen(word);
        if (static_cast<size_t>(end - p) < n || memcmp(p, word, n) != 0)
            return false;
        p += n;
        return true;
    }
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// `"name"=` in its loose form: quotes or blanks, the name (no "=" or quote), then blanks,
// quotes and "=" signs. False when any of the three parts is missing.
bool ScanName(Cursor* c, std::string* name) {
    return c->Span(" \"") && c->Until("=\"", name) && c->Span(" =\"");
}

// 1 to 8 hexadecimal digits, optionally "0x" first and blanks before.
bool ScanDword(Cursor* c, DWORD* value) {
    c->Span(" \t");
    if (c->end - c->p >= 2 && c->p[0] == '0' && (c->p[1] == 'x' || c->p[1] == 'X') &&
        c->end - c->p > 2 && HexDigit(c->p[2]) >= 0)
        c->p += 2;
    uint32_t v = 0;
    int digits = 0;
    for (; !c->AtEnd() && HexDigit(*c->p) >= 0; ++c->p, ++digits) {
        if (digits == 8)
            return false; // would overflow
        v = (v << 4) | static_cast<uint32_t>(HexDigit(*c->p));
    }
    *value = v;
    return digits > 0;
}

// "01,ab,ff": bytes of one or two digits separated by commas or blanks; false on anything else.
bool ScanHexBytes(Cursor* c, std::vector<uint8_t>* bytes) {
    while (!c->AtEnd()) {
        int value = 0, digits = 0;
        for (; !c->AtEnd() && digits < 2 && HexDigit(*c->p) >= 0; ++c->p, ++digits)
            value = value * 16 + HexDigit(*c->p);
        if (digits == 0)
            return false;
        bytes->push_back(static_cast<uint8_t>(value));
        if (!c->AtEnd() && !c->Span(", "))
            return false;
    }
    return true;
}

// The text of a string value up to its closing quote. The writer does not escape quotes, so a
// line that ends with a quote closes the text there and quotes inside it are kept.
void QuotedText(Cursor* c, std::string* text) {
    if (c->end > c->p && c->end[-1] == '"') {
        text->assign(c->p, c->end - 1);
        c->p = c->end;
        return;
    }
    c->Until("\"", text);
}

void SetString(HKEY key, const std::string& name, const std::string& text) {
    std::wstring wname = Widen(name.data(), name.size());
    std::wstring wtext = Widen(text.data(), text.size());
    RegSetValueExW(key, wname.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wtext.c_str()),
                   static_cast<DWORD>((wtext.size() + 1) * sizeof(wchar_t)));
}

void ApplyValueLine(HKEY key, const char* line, const char* end) {
    const char* eq = static_cast<const char*>(memchr(line, '=', end - line));
    if (!eq)
        return;
    const char* after = eq + 1;
    auto startsWith = [&](const char* word) {
        size_t n = strlen(word);
        return static_cast<size_t>(end - after) >= n && memcmp(after, word, n) == 0;
    };
    Cursor c{line, end};
    std::string name;
    if (startsWith("dword")) {
        DWORD value = 0;
        if (ScanName(&c, &name) && c.Literal("dword:") && ScanDword(&c, &value)) {
            std::wstring wname = Widen(name.data(), name.size());
            RegSetValueExW(key, wname.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                           sizeof(value));
        }
        return;
    }
    if (startsWith("hex")) {
        std::vector<uint8_t> bytes;
        if (ScanName(&c, &name) && c.Literal("hex:") && ScanHexBytes(&c, &bytes)) {
            std::wstring wname = Widen(name.data(), name.size());
            RegSetValueExW(key, wname.c_str(), 0, REG_BINARY,
                           bytes.empty() ? nullptr : bytes.data(),
                           static_cast<DWORD>(bytes.size()));
        }
        return;
    }
    std::string text;
    if (*line != '@' && ScanName(&c, &name)) {
        QuotedText(&c, &text); // an empty text is an empty string value
        SetString(key, name, text);
        return;
    }
    // The key's default value: @="text" or ""="text".
    Cursor d{line, end};
    if (!d.Span(" @\"="))
        return;
    QuotedText(&d, &text);
    SetString(key, std::string(), text);
}

struct Root {
    const char* name;
    HKEY key;
};
const Root kRoots[] = {{"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                       {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                       {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                       {"HKEY_USERS", HKEY_USERS}};

// "[HKEY_LOCAL_MACHINE\path]": opens or creates the key into *current; any other root, or no
// path, leaves no current key.
void ApplyKeyLine(const char* line, const char* end, KeyHandle* current) {
    current->Reset();
    Cursor c{line + 1, end};
    for (const Root& root : kRoots) {
        if (!c.Literal(root.name))
            continue;
        std::string path;
        if (!c.Literal("\\") || !c.Until("]", &path))
            return;
        std::wstring wpath = Widen(path.data(), path.size());
        RegCreateKeyExW(root.key, wpath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        current->Out(), nullptr);
        return;
    }
}

} // namespace

size_t RegTextWriter(const std::wstring& keyPath, std::string* out) {
    std::string text =
        "\r\n[HKEY_LOCAL_MACHINE\\" + Narrow(keyPath.data(), keyPath.size()) + "]\r\n";
    size_t length = text.size();
    if (out)
        out->append(text);
    KeyHandle key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, key.Out()) != ERROR_SUCCESS)
        return length;
    for (const RegValue& v : ReadValues(key.get())) {
        std::string line = ValueLine(v);
        length += line.size();
        if (out)
            out->append(line);
    }
    for (const std::wstring& sub : ReadSubkeys(key.get()))
        length += RegTextWriter(keyPath + L"\\" + sub, out);
    return length;
}

void RegTextParser(const char* text, size_t length) {
    if (!text)
        return;
    KeyHandle current;
    size_t pos = 0;
    while (pos < length) {
        size_t e = pos;
        while (e < length && text[e] != '\r' && text[e] != '\n')
            ++e;
        if (e >= length)
            break; // a last line without a line ending may be cut short: not used
        size_t next = e + 1;
        if (next < length && (text[next] == '\r' || text[next] == '\n'))
            ++next;
        const char* line = text + pos;
        const char* end = text + e;
        pos = next;
        if (line == end)
            continue;
        if (*line == '[')
            ApplyKeyLine(line, end, &current);
        else if (current.get())
            ApplyValueLine(current.get(), line, end);
    }
}
