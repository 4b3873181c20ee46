// The serial ports on which a receiver may answer: the ports that the device manager lists as
// loaded under HKEY_LOCAL_MACHINE\Drivers\Active, restricted to COM, GPS and BTC names.
#pragma once
#include <cstdint>
#include <vector>

constexpr int kPortNameChars = 16; // with the terminating zero, "COM6:"
constexpr int kDriverKeyChars = 260;

// n of "COMn:", "GPSn:" or "BTCn:" for n = 1..255; 0 for any other name.
int PortNumberFromName(const wchar_t* name);

class ComPortList {
public:
    // Status of the last registry read.
    enum ReadStatus : int32_t { kRead = 0, kKeyMissing = 1, kNotText = 2, kUnreadable = 3 };

    ComPortList() = default;
    virtual ~ComPortList() = default;
    ComPortList(const ComPortList&) = delete;
    ComPortList& operator=(const ComPortList&) = delete;

    // From the numbered keys Drivers\Active\01..255 ("Name", "Key"), followed by the fixed
    // "COM6:" and "COM7:" entries when the device does not list them itself. With probe set a
    // port is kept only when it can be opened.
    virtual void Build(int probe);
    // From the values of the key Drivers\Active itself: value name = driver key, data = port.
    virtual void BuildFromValues();
    virtual int Count() const;
    virtual int GetNumber(int i) const;
    virtual const wchar_t* GetName(int i) const; // "" beyond the count
    virtual const wchar_t* GetKey(int i) const;
    virtual const wchar_t* GetKeyLeaf(int i) const;

    static bool Probe(const wchar_t* name);
    int32_t status() const { return status_; }

private:
    struct Entry {
        int32_t number;
        wchar_t name[kPortNameChars];
        wchar_t key[kDriverKeyChars];
    };
    bool ReadText(const wchar_t* key, const wchar_t* value, wchar_t* out, size_t outChars);
    bool Reserve(size_t count);
    void Append(int32_t number, const wchar_t* name, const wchar_t* key);

    std::vector<Entry> entries_;
    int32_t status_ = kRead;
};
