// SiRF binary framing (numbers big-endian):
//   offset 0      2  start A0 A2
//   offset 2      2  payload length L (message id and data)
//   offset 4      L  payload: message id, data
//   offset 4 + L  2  checksum: sum of the payload bytes modulo 0x8000
//   offset 6 + L  2  end B0 B3
// and the NMEA command texts that switch a SiRF receiver.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint8_t kSirfStart0 = 0xA0, kSirfStart1 = 0xA2;
constexpr uint8_t kSirfEnd0 = 0xB0, kSirfEnd1 = 0xB3;
constexpr size_t kSirfFrameOverhead = 8;

constexpr uint8_t kSirfMsgNavParams = 19; // from the receiver
constexpr uint8_t kSirfMsgGeodetic = 41;  // from the receiver
constexpr uint8_t kSirfMsgSwitchToNmea = 129;
constexpr uint8_t kSirfMsgStaticNav = 143;
constexpr uint8_t kSirfMsgPollNavParams = 152;

inline uint16_t ReadU16BE(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}
inline int32_t ReadS32BE(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]);
}

uint16_t SirfChecksum(const uint8_t* payload, size_t n);
std::vector<uint8_t> BuildSirfFrame(uint8_t id, const uint8_t* data, size_t n);
// The 23 data bytes of message 129: GGA, GSA, RMC once a second, GSV every 2 s, at `baud`.
std::vector<uint8_t> SirfSwitchToNmeaPayload(uint32_t baud);

// "$PSRF100,0,<baud>,8,1,0*CS\r\n": switch to SiRF binary, 8N1.
std::string Psrf100Command(int baud);
// "$PSRF103,02,00,01,01*CS\r\n": GSA once a second.
std::string Psrf103Command();
