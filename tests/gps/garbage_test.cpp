// Random bytes, truncated sentences, bad checksums and bad frames through the reader's own
// cutting and parsing path: no crash, no position posted, the fix unchanged.
#include <gtest/gtest.h>

#include <random>

#include "gps/gps.h"
#include "gps/sirf_frame.h"
#include "tests/gps/gps_test_util.h"
#include "tests/support/message_collector.h"

namespace {
struct FixCopy {
    GpsPosition position;
    GpsSky sky;
    GpsActiveSats active;
    int32_t words[4];
};

FixCopy Copy(GPS& gps) {
    FixCopy c{};
    GpsSnapshot& f = gps.fixBlock();
    c.position = *f.position;
    c.sky = *f.sky;
    c.active = *f.active;
    c.words[0] = f.longitude;
    c.words[1] = f.latitude;
    c.words[2] = f.altitude;
    c.words[3] = static_cast<int32_t>(f.speed);
    return c;
}

// Cuts and parses the bytes as NMEA and as SiRF binary, as the reader does in each mode.
void CutAndParse(GPS& gps, const std::string& bytes) {
    ReceiveRing nmea, sirf;
    char sentence[kSentenceSize];
    uint8_t frame[kFrameSize];
    for (size_t at = 0; at < bytes.size(); at += 64) {
        size_t n = std::min<size_t>(64, bytes.size() - at);
        const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes.data() + at);
        nmea.Push(p, n);
        sirf.Push(p, n);
        while (nmea.NextSentence(sentence, sizeof(sentence), nullptr))
            gps.ParseSentence(sentence);
        size_t length = 0;
        ReceiveRing::Frame r;
        while ((r = sirf.NextSirfFrame(frame, sizeof(frame), &length, nullptr)) !=
               ReceiveRing::Frame::None)
            if (r == ReceiveRing::Frame::Taken) {
                gps.ParseSirfGeodetic(frame, length);
                gps.ParseSirfNavParams(frame, length);
            }
    }
}

std::string Flip(std::string s, size_t at) {
    s[at] ^= 0x01;
    return s;
}
} // namespace

TEST(GarbageInput, NeverPostsAPositionNorChangesTheFix) {
    ResetGpsParserState();
    MessageCollector collector;
    GPS gps(L"GARMIN USB", collector.hwnd(), nullptr, 4800);
    FixCopy before = Copy(gps);

    std::mt19937 random(1234);
    std::string noise;
    for (int i = 0; i < 50000; ++i)
        noise += static_cast<char>(random() & 0xFF);
    // Random bytes that often look like sentence and frame starts.
    std::string starts;
    const char* pieces[] = {"$GPGGA,", "$GPGSV,",  "$GPRMC,",  "$GPGSA,",  ",",  "*",       "\r\n",
                            "\n",      "4807.038", "\xA0\xA2", "\xB0\xB3", "99", "\xFF\xFF"};
    for (int i = 0; i < 20000; ++i)
        starts += pieces[random() % (sizeof(pieces) / sizeof(pieces[0]))];
    // Every one-bit damage and every truncation of valid sentences.
    std::string damaged;
    const std::string good[] = {
        Nmea("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"),
        Nmea("GPGSV,3,1,11,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45"),
        Nmea("GPGSA,A,3,04,05,09,12,,,,,,,,,2.5,1.3,2.1"),
        Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,10.0,90.0,230394,003.1,W")};
    for (const std::string& s : good) {
        for (size_t i = 1; i < s.size(); ++i) {
            // A flip that keeps the XOR equal needs two bits; one bit always shows.
            damaged += Flip(s, i) + "\r\n";
            damaged += s.substr(0, i) + "\r\n";
        }
    }
    // Frames: every truncation and one-bit damage of a geodetic message.
    std::vector<uint8_t> data(90, 0x11);
    std::vector<uint8_t> frame = BuildSirfFrame(41, data.data(), data.size());
    std::string frames;
    std::string whole(frame.begin(), frame.end());
    for (size_t i = 0; i < whole.size() - 4; ++i) {
        if (i >= 4) // bytes before the payload only move the frame around
            frames += Flip(whole, i);
        frames += whole.substr(0, i) + std::string(1, '\0');
    }
    frames += "\xA0\xA2\xFF\xFF" + std::string(100, 'x'); // length that never fits

    for (const std::string* input : {&noise, &starts, &damaged, &frames})
        CutAndParse(gps, *input);
    collector.Pump();
    EXPECT_EQ(collector.Count(WM_GPS_POSITION), 0u);
    FixCopy after = Copy(gps);
    EXPECT_EQ(memcmp(&before, &after, sizeof(before)), 0);
}
