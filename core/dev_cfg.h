// The device XML configuration: for the device whose name the OEM information string begins
// with, it sets the GPS port and baud rate, the Bluetooth receiver flag, the folder list, the
// LCD backlight description, a device library to copy and the hardware-button table. The
// built-in text is parsed first, then "thisdev.xml" (or, without it, "devcfg.xml") in the
// program folder, so that a file overrides the defaults. Values are applied while parsing.
//
//   <devices>
//     <device name="PLATFORM_OEM">
//       <gps port="GPS1:" baudrate="57600">1</gps>
//       <folder>\Flash Disk\Tarn-Wick;\Storage Card\Tarn-Wick</folder>
//       <lcd cap="1"><min>21</min><io r="3">0x40</io><dll func="x">BKL.dll</dll></lcd>
//       <Buttons><button action="1">0x34</button></Buttons>
//     </device>
//   </devices>
#pragma once
#include <cstdint>
#include <string>

class AppSettings;
class DeviceProfile;

class DevCfg {
public:
    DevCfg(AppSettings* settings, DeviceProfile* profile, std::wstring programFolder);
    DevCfg(const DevCfg&) = delete;
    DevCfg& operator=(const DevCfg&) = delete;

    // The built-in text, then the file when it can be opened. A parse error in the file stops
    // reading it; what was applied before stays.
    void ParseFile(const std::wstring& path);
    void ParseDefaults();

    uint64_t fileSize() const { return fileSize_; }

    // Expat handlers (userData is the DevCfg).
    static void StartElement(void* userData, const wchar_t* name, const wchar_t** atts);
    static void EndElement(void* userData, const wchar_t* name);
    static void CharacterData(void* userData, const wchar_t* text, int length);

private:
    void OnStart(const wchar_t* name, const wchar_t** atts);
    void OnEnd(const wchar_t* name);
    void OnText(const std::wstring& text);

    AppSettings* settings_;
    DeviceProfile* profile_;
    std::wstring programFolder_;
    uint64_t fileSize_ = 0;
    bool inDevice_ = false;
    bool inButton_ = false;
    bool inFolder_ = false;
    bool inLcd_ = false;
    bool inGps_ = false;
    bool deviceFunction_ = false;
    bool copyLibrary_ = false;
    bool inMin_ = false;
    bool inIo_ = false;
    bool folderApplied_ = false;
    // Character data of the innermost open element; expat hands it over in pieces.
    std::wstring text_;
};

// The configuration of the run: created on first use, parsing the program folder's file.
DevCfg* GetDevCfg();
// The file of `programFolder` (ending with a backslash): "thisdev.xml" when it exists, else
// "devcfg.xml".
std::wstring DevCfgFilePath(const std::wstring& programFolder);

// A key word of the button table: "0x10D" (hexadecimal) or "13" (decimal); 0 when neither.
uint32_t ParseKeyWord(const std::wstring& text);
