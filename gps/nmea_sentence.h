// NMEA 0183 sentence text: checksums and bounded field access.
#pragma once
#include <cstddef>
#include <cstdint>

// XOR of the characters after the first up to the first "*", CR or the end (0 for "").
uint8_t NmeaChecksum(const char* sentence);
// The same over UTF-16 text, each character taken modulo 256 (the NMEA view's check).
uint8_t NmeaChecksumW(const wchar_t* text);

// True when the sentence begins with `name` (six characters, "$GPGGA") and carries a "*"
// followed by the hexadecimal checksum of its text.
bool NmeaAccept(const char* sentence, const char* name);

// The comma-separated fields after the sentence name, up to "*". Field 1 is the first after
// the name; fields beyond the sentence are empty.
class NmeaFields {
public:
    static constexpr int kMaxFields = 40; // the longest sentence read has 17

    explicit NmeaFields(const char* sentence);
    int Count() const { return count_; }
    bool Empty(int i) const { return Length(i) == 0; }
    bool Present(int i) const { return i >= 1 && i <= count_; }
    size_t Length(int i) const { return Present(i) ? length_[i - 1] : 0; }
    const char* Text(int i) const { return Present(i) ? start_[i - 1] : ""; }
    char First(int i) const { return Empty(i) ? 0 : Text(i)[0]; }

    // Decimal conversions of the field (or of `chars` characters from `offset`), 0 when
    // empty or not a number.
    int Int(int i) const { return IntAt(i, 0, Length(i)); }
    int IntAt(int i, size_t offset, size_t chars) const;
    double Real(int i) const { return RealAt(i, 0); }
    double RealAt(int i, size_t offset) const;

private:
    const char* start_[kMaxFields];
    size_t length_[kMaxFields];
    int count_ = 0;
};
