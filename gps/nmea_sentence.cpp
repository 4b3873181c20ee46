#include "gps/nmea_sentence.h"

#include <cstdlib>
#include <cstring>

uint8_t NmeaChecksum(const char* sentence) {
    uint8_t sum = 0;
    if (!sentence || !sentence[0])
        return 0;
    for (const char* p = sentence + 1; *p && *p != '*' && *p != '\r'; ++p)
        sum ^= static_cast<uint8_t>(*p);
    return sum;
}

uint8_t NmeaChecksumW(const wchar_t* text) {
    uint8_t sum = 0;
    if (!text || !text[0])
        return 0;
    for (const wchar_t* p = text + 1; *p && *p != L'*' && *p != L'\r'; ++p)
        sum ^= static_cast<uint8_t>(*p & 0xFF);
    return sum;
}

bool NmeaAccept(const char* sentence, const char* name) {
    if (!sentence || strncmp(sentence, name, 6) != 0)
        return false;
    const char* star = strchr(sentence, '*');
    if (!star)
        return false;
    char* end = nullptr;
    unsigned long given = strtoul(star + 1, &end, 16);
    if (end == star + 1 || end - (star + 1) > 2)
        return false; // no checksum, or more than two digits
    return given == NmeaChecksum(sentence);
}

NmeaFields::NmeaFields(const char* sentence) {
    const char* p = strchr(sentence ? sentence : "", ',');
    while (p && *p == ',' && count_ < kMaxFields) {
        const char* field = p + 1;
        size_t n = strcspn(field, ",*\r\n");
        start_[count_] = field;
        length_[count_] = n;
        ++count_;
        p = field + n;
    }
}

int NmeaFields::IntAt(int i, size_t offset, size_t chars) const {
    if (offset >= Length(i))
        return 0;
    if (chars > Length(i) - offset)
        chars = Length(i) - offset;
    char text[32];
    if (chars >= sizeof(text))
        chars = sizeof(text) - 1;
    memcpy(text, Text(i) + offset, chars);
    text[chars] = 0;
    long v = strtol(text, nullptr, 10);
    if (v > 0x7FFFFFFFL)
        return 0x7FFFFFFF;
    if (v < -0x7FFFFFFFL)
        return -0x7FFFFFFF;
    return static_cast<int>(v);
}

double NmeaFields::RealAt(int i, size_t offset) const {
    if (offset >= Length(i))
        return 0.0;
    char text[48];
    size_t chars = Length(i) - offset;
    if (chars >= sizeof(text))
        chars = sizeof(text) - 1;
    memcpy(text, Text(i) + offset, chars);
    text[chars] = 0;
    return strtod(text, nullptr);
}
