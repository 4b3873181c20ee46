#include "gps/sirf_frame.h"

#include <cstdio>

#include "gps/nmea_sentence.h"

uint16_t SirfChecksum(const uint8_t* payload, size_t n) {
    uint32_t sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += payload[i];
    return static_cast<uint16_t>(sum & 0x7FFF);
}

std::vector<uint8_t> BuildSirfFrame(uint8_t id, const uint8_t* data, size_t n) {
    std::vector<uint8_t> frame;
    size_t length = n + 1;
    frame.reserve(length + kSirfFrameOverhead);
    frame.push_back(kSirfStart0);
    frame.push_back(kSirfStart1);
    frame.push_back(static_cast<uint8_t>(length >> 8));
    frame.push_back(static_cast<uint8_t>(length));
    frame.push_back(id);
    frame.insert(frame.end(), data, data + n);
    uint16_t sum = SirfChecksum(frame.data() + 4, length);
    frame.push_back(static_cast<uint8_t>(sum >> 8));
    frame.push_back(static_cast<uint8_t>(sum));
    frame.push_back(kSirfEnd0);
    frame.push_back(kSirfEnd1);
    return frame;
}

std::vector<uint8_t> SirfSwitchToNmeaPayload(uint32_t baud) {
    return {0, // mode
            1,
            1, // GGA rate, checksum
            0,
            1, // GLL
            1,
            1, // GSA
            2,
            1, // GSV
            1,
            1, // RMC
            0,
            1, // VTG
            0,
            1, // MSS
            0,
            0, // unused
            0,
            0, // ZDA
            0,
            0, // unused
            static_cast<uint8_t>(baud >> 8),
            static_cast<uint8_t>(baud)};
}

namespace {
std::string WithChecksum(const char* body) {
    char text[64];
    snprintf(text, sizeof(text), "%s%2.2X\r\n", body, NmeaChecksum(body));
    return text;
}
} // namespace

std::string Psrf100Command(int baud) {
    char body[48];
    snprintf(body, sizeof(body), "$PSRF100,0,%d,8,1,0*", baud);
    return WithChecksum(body);
}

std::string Psrf103Command() {
    return WithChecksum("$PSRF103,02,00,01,01*");
}
