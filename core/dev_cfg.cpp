#include "core/dev_cfg.h"

#include "core/app_settings.h"
#include "core/device_profile.h"
#include "core/program_globals.h"
#include "platform/oem_info.h"

#include <expat.h>
#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <memory>
#include <vector>

namespace {

constexpr DWORD kBlockBytes = 131072;
// Character data beyond this is no folder list or key word of any device; it is dropped.
constexpr size_t kMaxElementText = 8192;

const char kDefaultText[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                            "<devices>\r\n"
                            "<device name=\"N_HH_BRISEL\">\r\n"
                            "<gps port=\"COM2:\" baudrate=\"4800\">1</gps>\r\n"
                            "<lcd cap=\"-1\"><min>30</min></lcd>\r\n"
                            "<Buttons>\r\n"
                            "<button action=\"1\">0x183</button>\r\n"
                            "<button action=\"0\">0x283</button>\r\n"
                            "<button action=\"2\">0x184</button>\r\n"
                            "<button action=\"0\">0x284</button>\r\n"
                            "<button action=\"16\">0x85</button>\r\n"
                            "<button action=\"14\">0x86</button>\r\n"
                            "<button action=\"0\">0x0D</button>\r\n"
                            "<button action=\"17\">0x10D</button>\r\n"
                            "<button action=\"18\">0x20D</button>\r\n"
                            "</Buttons>\r\n"
                            "</device>\r\n"
                            "<device name=\"PLATFORM_OEM\">\r\n"
                            "<gps port=\"GPS1:\" baudrate=\"57600\"></gps>\r\n"
                            "<lcd cap=\"1\"><min>21</min></lcd>\r\n"
                            "<folder>\\Flash Disk\\Tarn-Wick;\\Storage Card\\Tarn-Wick</folder>\r\n"
                            "<Buttons>\r\n"
                            "<button action=\"1\">0x34</button>\r\n"
                            "<button action=\"2\">0x35</button>\r\n"
                            "<button action=\"3\">0x52</button>\r\n"
                            "<button action=\"4\">0x4C</button>\r\n"
                            "<button action=\"5\">0x55</button>\r\n"
                            "<button action=\"6\">0x44</button>\r\n"
                            "<button action=\"16\">0x30</button>\r\n"
                            "<button action=\"14\">0x32</button>\r\n"
                            "<button action=\"17\">0x43</button>\r\n"
                            "</Buttons>\r\n"
                            "</device>\r\n"
                            "<device name=\"Windows PC\">\r\n"
                            "<Buttons>\r\n"
                            "<button action=\"17\">0x10D</button>\r\n"
                            "<button action=\"18\">0x4F</button>\r\n"
                            "<button action=\"16\">0x50</button>\r\n"
                            "<button action=\"14\">0x4E</button>\r\n"
                            "</Buttons>\r\n"
                            "</device>\r\n"
                            "</devices>\r\n";

bool Is(const wchar_t* a, const wchar_t* b) {
    return _wcsicmp(a, b) == 0;
}

// Attributes come as name/value pairs; the configuration takes them by position.
const wchar_t* AttributeName(const wchar_t** atts, int index) {
    for (int i = 0; i <= index; ++i)
        if (!atts || !atts[2 * i])
            return nullptr;
    return atts[2 * index];
}

const wchar_t* AttributeValue(const wchar_t** atts, int index) {
    return AttributeName(atts, index) ? atts[2 * index + 1] : nullptr;
}

bool ParseInt(const wchar_t* text, int* out) {
    if (!text)
        return false;
    wchar_t* end = nullptr;
    long v = wcstol(text, &end, 10);
    if (end == text)
        return false;
    *out = static_cast<int>(v);
    return true;
}

std::wstring Trimmed(const std::wstring& text) {
    size_t a = 0, b = text.size();
    while (a < b && text[a] <= L' ')
        ++a;
    while (b > a && text[b - 1] <= L' ')
        --b;
    return text.substr(a, b - a);
}

void CopyBounded(wchar_t* out, size_t outChars, const std::wstring& text) {
    size_t n = text.size() < outChars - 1 ? text.size() : outChars - 1;
    wmemcpy(out, text.c_str(), n);
    out[n] = 0;
}

bool OemBeginsWith(const wchar_t* name) {
    wchar_t oem[260];
    GetOemInfo(oem, 260);
    return _wcsnicmp(oem, name, wcslen(name)) == 0;
}

struct ParserDeleter {
    void operator()(XML_ParserStruct* p) const { XML_ParserFree(p); }
};
using ParserPtr = std::unique_ptr<XML_ParserStruct, ParserDeleter>;

bool Feed(XML_Parser parser, const char* bytes, size_t length, bool final) {
    return XML_Parse(parser, bytes, static_cast<int>(length), final ? 1 : 0) != XML_STATUS_ERROR;
}

ParserPtr NewParser(DevCfg* cfg) {
    ParserPtr parser(XML_ParserCreate(nullptr));
    if (parser) {
        XML_SetUserData(parser.get(), cfg);
        XML_SetElementHandler(parser.get(), &DevCfg::StartElement, &DevCfg::EndElement);
        XML_SetCharacterDataHandler(parser.get(), &DevCfg::CharacterData);
    }
    return parser;
}

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

} // namespace

uint32_t ParseKeyWord(const std::wstring& text) {
    const wchar_t* s = text.c_str();
    while (*s == L' ' || *s == L'\t')
        ++s;
    bool hex = s[0] == L'0' && (s[1] == L'x' || s[1] == L'X');
    return static_cast<uint32_t>(hex ? wcstoul(s, nullptr, 16) : wcstol(s, nullptr, 10));
}

DevCfg::DevCfg(AppSettings* settings, DeviceProfile* profile, std::wstring programFolder)
    : settings_(settings), profile_(profile), programFolder_(std::move(programFolder)) {}

void DevCfg::StartElement(void* userData, const wchar_t* name, const wchar_t** atts) {
    static_cast<DevCfg*>(userData)->OnStart(name, atts);
}

void DevCfg::EndElement(void* userData, const wchar_t* name) {
    static_cast<DevCfg*>(userData)->OnEnd(name);
}

void DevCfg::CharacterData(void* userData, const wchar_t* text, int length) {
    DevCfg* cfg = static_cast<DevCfg*>(userData);
    if (length > 0 && cfg->text_.size() + length <= kMaxElementText)
        cfg->text_.append(text, static_cast<size_t>(length));
}

void DevCfg::OnStart(const wchar_t* name, const wchar_t** atts) {
    text_.clear();
    if (Is(name, L"device")) {
        const wchar_t* device = AttributeValue(atts, 0);
        if (device && OemBeginsWith(device)) {
            profile_->buttonCount = 0;
            inDevice_ = true;
        }
        return;
    }
    if (!inDevice_)
        return;
    if (Is(name, L"gps")) {
        profile_->set_cfg_gpsbt(false);
        if (const wchar_t* port = AttributeValue(atts, 0))
            CopyBounded(settings_->gpsPort, kGpsPortChars, port);
        ParseInt(AttributeValue(atts, 1), &settings_->baudRate);
        inGps_ = true;
    } else if (Is(name, L"folder")) {
        inFolder_ = true;
    } else if (Is(name, L"lcd")) {
        ParseInt(AttributeValue(atts, 0), &profile_->lcdType);
        inLcd_ = true;
    } else if (Is(name, L"button")) {
        // The table holds 16 buttons; further ones are ignored.
        if (profile_->buttonCount < kButtonTableSize) {
            const wchar_t* action = AttributeValue(atts, 0);
            profile_->buttons[profile_->buttonCount].action = action ? _wtol(action) : 0;
            profile_->buttons[profile_->buttonCount].keyWord = 0;
            inButton_ = true;
        }
    } else if (inLcd_ && Is(name, L"min")) {
        inMin_ = true;
    } else if (inLcd_ && Is(name, L"io")) {
        const wchar_t* attr = AttributeName(atts, 0);
        if (attr && Is(attr, L"r")) {
            ParseInt(AttributeValue(atts, 0), &profile_->ioRegisterIndex);
            inIo_ = true;
        }
    } else if (inLcd_ && Is(name, L"dll")) {
        const wchar_t* attr = AttributeName(atts, 0);
        const wchar_t* value = AttributeValue(atts, 0);
        if (attr && Is(attr, L"func"))
            deviceFunction_ = true;
        else if (attr && Is(attr, L"c") && value[0] == L'1')
            copyLibrary_ = true;
    }
}

void DevCfg::OnText(const std::wstring& raw) {
    const std::wstring text = Trimmed(raw);
    if (text.empty())
        return;
    if (inButton_) {
        profile_->buttons[profile_->buttonCount].keyWord = ParseKeyWord(text);
    } else if (inGps_) {
        if (text == L"1")
            profile_->set_cfg_gpsbt(true);
    } else if (inFolder_) {
        // A list the user already has stays, unless this start already applied one.
        if (folderApplied_ || wcscmp(settings_->folders[0], L":na") == 0) {
            settings_->SetFolderList(text.c_str());
            folderApplied_ = true;
        }
    } else if (inMin_) {
        ParseInt(text.c_str(), &profile_->minBacklight);
    } else if (inIo_) {
        profile_->ioRegisterMask = ParseKeyWord(text);
    } else if (deviceFunction_) {
        CopyBounded(profile_->deviceFunction, 260, text);
    } else if (copyLibrary_) {
        size_t slash = text.find_last_of(L'\\');
        std::wstring target =
            programFolder_ + (slash == std::wstring::npos ? text : text.substr(slash + 1));
        CopyFileW(text.c_str(), target.c_str(), TRUE); // never over an existing file
    }
}

void DevCfg::OnEnd(const wchar_t* name) {
    std::wstring text;
    text.swap(text_);
    if (!inDevice_)
        return;
    if (Is(name, L"device")) {
        inDevice_ = false;
        SaveFolders();
        SaveGpsPort();
        SaveSettings(settings_, 1);
        return;
    }
    OnText(text);
    if (Is(name, L"button")) {
        if (inButton_)
            ++profile_->buttonCount;
        inButton_ = false;
    } else if (Is(name, L"gps")) {
        inGps_ = false;
    } else if (Is(name, L"folder")) {
        inFolder_ = false;
    } else if (Is(name, L"lcd")) {
        inLcd_ = false;
    } else if (Is(name, L"min")) {
        inMin_ = false;
    } else if (Is(name, L"io")) {
        inIo_ = false;
    } else if (Is(name, L"dll")) {
        deviceFunction_ = false;
        copyLibrary_ = false;
    }
}

void DevCfg::ParseDefaults() {
    ParserPtr parser = NewParser(this);
    if (parser)
        Feed(parser.get(), kDefaultText, sizeof(kDefaultText) - 1, true);
    text_.clear();
}

void DevCfg::ParseFile(const std::wstring& path) {
    ParseDefaults();
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size))
        fileSize_ = static_cast<uint64_t>(size.QuadPart);
    ParserPtr parser = NewParser(this);
    if (!parser)
        return;
    std::vector<char> block(kBlockBytes);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), block.data(), kBlockBytes, &read, nullptr))
            break;
        if (!Feed(parser.get(), block.data(), read, read == 0) || read == 0)
            break;
    }
    text_.clear();
}

std::wstring DevCfgFilePath(const std::wstring& programFolder) {
    std::wstring path = programFolder + L"thisdev.xml";
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        path = programFolder + L"devcfg.xml";
    return path;
}

DevCfg* GetDevCfg() {
    static DevCfg* cfg = [] {
        std::wstring folder = g_programFolder;
        DevCfg* created = new DevCfg(GetAppSettings(), GetDeviceProfile(), folder);
        created->ParseFile(DevCfgFilePath(folder));
        return created;
    }();
    return cfg;
}
