#include <gtest/gtest.h>

#include <sstream>

#include "core/time_stamp.h"
#include "gps/gps.h"
#include "gps/gps_options.h"
#include "tests/gps/gps_test_util.h"
#include "tests/support/message_collector.h"

namespace {
// A receiver without a reader thread ("GARMIN USB"): the parsers are fed directly.
class NmeaParserTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetGpsParserState();
        SetGpsOptionsSource([this] { return options; });
        gps.reset(new GPS(L"GARMIN USB", collector.hwnd(), text, 4800));
        ASSERT_FALSE(gps->HasReader());
    }
    void TearDown() override { SetGpsOptionsSource(nullptr); }

    void Feed(const std::string& body) { gps->ParseSentence(Nmea(body).c_str()); }
    size_t Posted(UINT msg) {
        collector.Pump();
        return collector.Count(msg);
    }
    GpsPosition& pos() { return *gps->fixBlock().position; }
    GpsSky& sky() { return *gps->fixBlock().sky; }

    GpsOptions options;
    MessageCollector collector;
    wchar_t text[kNmeaTextChars] = {};
    std::unique_ptr<GPS> gps;
};
} // namespace

TEST_F(NmeaParserTest, GgaPosition) {
    Feed("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    // Degrees and minutes are truncated apart: 83775804 + 204727.
    EXPECT_EQ(pos().latitude, 83980531);
    EXPECT_EQ(pos().longitude, 19198621 + 901753);
    EXPECT_EQ(pos().altitude, 54540);
    EXPECT_EQ(pos().satellitesUsed, 8);
    EXPECT_EQ(pos().fixMode, 0);
    EXPECT_EQ(Posted(WM_GPS_POSITION), 1u);
    EXPECT_EQ(gps->dataReceived, 1);

    Feed("GPGGA,123520,4807.038,S,01131.000,W,,,,,M,,M,,");
    EXPECT_EQ(pos().latitude, -83980531);
    EXPECT_EQ(pos().longitude, -(19198621 + 901753));
    EXPECT_EQ(pos().altitude, 54540); // empty: kept
    EXPECT_EQ(pos().satellitesUsed, 0);
    EXPECT_EQ(pos().fixMode, kFixModeNoQuality);

    Feed("GPGGA,123521,,,,,1,05,,,M,,M,,"); // no position: the last one stays
    EXPECT_EQ(pos().latitude, -83980531);
    EXPECT_EQ(Posted(WM_GPS_POSITION), 3u);
}

TEST_F(NmeaParserTest, RejectedSentencesChangeNothing) {
    Feed("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    ASSERT_EQ(Posted(WM_GPS_POSITION), 1u);
    collector.Clear();
    gps->dataReceived = 0;
    GpsPosition before = pos();
    const char* rejected[] = {
        "$GPGGA,123519,1111.111,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*00", // wrong sum
        "$GPGGA,123519,1111.111,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",    // no sum
        "$GPGGA,123519,1111.111,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*",   // empty sum
        "$gpgga,123519,1111.111,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47", // lower case
        "$GPGLL,4916.45,N,12311.12,W,225444,A,*1D",                          // other type
    };
    for (const char* s : rejected)
        gps->ParseSentence(s);
    EXPECT_EQ(memcmp(&before, &pos(), sizeof(before)), 0);
    EXPECT_EQ(Posted(WM_GPS_POSITION), 0u);
    EXPECT_EQ(gps->dataReceived, 0);
}

TEST_F(NmeaParserTest, GsvSetOfTenTrackedSatellites) {
    // Three sentences, 11 satellites of which one has no SNR: 10 are tracked.
    Feed("GPGSV,3,1,11,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45");
    Feed("GPGSV,3,2,11,15,10,270,30,16,90,000,33,17,05,180,20,18,45,181,");
    EXPECT_EQ(Posted(WM_GPS_SATELLITES), 0u); // only the last sentence announces
    Feed("GPGSV,3,3,11,19,30,100,22,20,30,200,23,21,30,300,24");
    EXPECT_EQ(sky().inView, 10);
    EXPECT_EQ(sky().satellites[0].prn, 1);
    EXPECT_EQ(sky().satellites[0].elevation, 6981);
    EXPECT_EQ(sky().satellites[4].azimuth, -15707); // 270 degrees is -90
    EXPECT_EQ(sky().satellites[6].azimuth, 31415);  // 180 stays positive
    EXPECT_EQ(sky().satellites[7].prn, 19);         // 18 had no SNR
    size_t first = Posted(WM_GPS_SATELLITES);
    EXPECT_GE(first, 1u);
    EXPECT_LE(first, 2u);
    EXPECT_EQ(gps->fixBlock().satellitesUpdated, 1u);

    // The same set again: nothing to announce.
    Feed("GPGSV,3,1,11,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45");
    Feed("GPGSV,3,2,11,15,10,270,30,16,90,000,33,17,05,180,20,18,45,181,");
    Feed("GPGSV,3,3,11,19,30,100,22,20,30,200,23,21,30,300,24");
    EXPECT_EQ(Posted(WM_GPS_SATELLITES), first);
}

TEST_F(NmeaParserTest, GsvNeverStoresMoreThanTwelve) {
    // 16 tracked satellites in a set, then a set whose first sentence was lost.
    for (int round = 0; round < 2; ++round) {
        for (int n = (round == 0 ? 1 : 2); n <= 4; ++n) {
            std::ostringstream s;
            s << "GPGSV,4," << n << ",16";
            for (int k = 0; k < 4; ++k)
                s << "," << (n * 4 + k) << ",10,100,30";
            Feed(s.str());
        }
        EXPECT_EQ(sky().inView, kGpsMaxSatellites);
        EXPECT_EQ(sky().satellites[11].prn, 4 * 3 + 3); // the twelfth of the first set
    }
}

TEST_F(NmeaParserTest, GsaActiveSatellitesAndDop) {
    Feed("GPGSA,A,3,04,05,09,12,,,,,,,,,2.5,1.3,2.1");
    EXPECT_EQ(pos().fixMode, 3);
    GpsActiveSats& a = *gps->fixBlock().active;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(a.slots[i].state, kActiveSatUsed);
    for (int i = 4; i < kGpsMaxSatellites; ++i)
        EXPECT_EQ(a.slots[i].state, 0);
    EXPECT_EQ(a.slots[3].prn, 12);
    EXPECT_EQ(sky().pdop, 25);
    EXPECT_EQ(sky().hdop, 13);
    EXPECT_EQ(sky().vdop, 21);
    EXPECT_EQ(gps->gsaSeen, 1);
    EXPECT_EQ(Posted(WM_GPS_POSITION) + Posted(WM_GPS_SATELLITES), 0u);
    Feed("GPGSA,A,,,,,,,,,,,,,,,,");
    EXPECT_EQ(pos().fixMode, 0);
    EXPECT_EQ(sky().vdop, 0);
}

TEST_F(NmeaParserTest, RmcSpeedCourseAndTrustedTime) {
    const std::string a = "GPRMC,123519,A,4807.038,N,01131.000,E,10.0,90.0,230394,003.1,W";
    Feed(a);
    EXPECT_EQ(pos().speed, 500u); // knots x 50
    EXPECT_EQ(pos().course, 1570);
    EXPECT_EQ(pos().hour, 12);
    EXPECT_EQ(pos().second, 19);
    EXPECT_EQ(pos().year, 2094);
    EXPECT_EQ(pos().month, 3);
    for (int i = 2; i <= 10; ++i)
        Feed(a);
    EXPECT_EQ(gps->gpsTimeStamp, 0u); // ten valid sentences: not trusted yet
    Feed(a);
    SYSTEMTIME t{2094, 3, 0, 23, 12, 35, 19, 0};
    EXPECT_EQ(gps->gpsTimeStamp, MakeTimeStamp(t));
    Feed("GPRMC,123520,V,,,,,,,230394,,");
    EXPECT_EQ(gps->gpsTimeStamp, 0u);
    EXPECT_EQ(pos().speed, 0u);
    for (int i = 1; i <= 10; ++i)
        Feed(a);
    EXPECT_EQ(gps->gpsTimeStamp, 0u);      // one V started the count again
    Feed("GPRMC,123519,A,,,,,,,991399,,"); // trusted but no such date
    EXPECT_EQ(gps->gpsTimeStamp, 0u);
}

TEST_F(NmeaParserTest, SmoothingWhileStandingAndRawWhenMoving) {
    options.cfg5 = 0x80 | 3 | (10 << 8); // filter of 3, raw from 10 km/h on
    gps->ResetFilters(1);
    const char* lat[] = {"4807.000", "4807.010", "4807.020", "4807.030"};
    std::vector<int32_t> raw;
    for (const char* l : lat) {
        Feed(std::string("GPRMC,1,A,,,,,0.5,,010120,,"));
        Feed(std::string("GPGGA,1,") + l + ",N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
        raw.push_back(pos().latitude);
    }
    GpsSnapshotStorage snap;
    gps->GetSnapshot(&snap.snapshot);
    EXPECT_EQ(snap.snapshot.latitude,
              static_cast<int32_t>((int64_t(raw[1]) + raw[2] + raw[3]) / 3));
    EXPECT_EQ(snap.position.latitude, raw[3]);

    Feed("GPRMC,1,A,,,,,6.0,,010120,,"); // 6 knots: 10.8 km/h
    Feed("GPGGA,1,4807.500,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    gps->GetSnapshot(&snap.snapshot);
    EXPECT_EQ(snap.snapshot.latitude, pos().latitude);
    EXPECT_EQ(snap.snapshot.speed, 300u);
}

TEST_F(NmeaParserTest, CourseAverageStaysNorthAcrossZero) {
    options.cfg6 = 0x80 | 4 | (0 << 8) | (127u << 25); // course from 0 km/h, never cleared
    gps->ResetFilters(1);
    for (double deg : {355.2, 358.1, 0.6, 3.0}) { // 6200, 6250, 10, 52 mrad
        char rmc[96];
        snprintf(rmc, sizeof(rmc), "GPRMC,1,A,,,,,5.0,%.1f,010120,,", deg);
        Feed(rmc);
        Feed("GPGGA,1,4807.000,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    }
    int average = gps->courseFilter()->Average();
    EXPECT_GT(average, -100);
    EXPECT_LT(average, 100);
}

TEST_F(NmeaParserTest, NmeaTextChecksumOfViewLines) {
    EXPECT_EQ(NmeaChecksumW(L"$GPGSA,A,1,,,,,,,,,,,,,,,*1E"), 0x1E);
    EXPECT_EQ(NmeaChecksumW(L""), 0);
    EXPECT_EQ(NmeaChecksum("$GPGSA,A,1,,,,,,,,,,,,,,,*1E"), 0x1E);
}

TEST_F(NmeaParserTest, RecordedSessionOfARealReceiver) {
    // 19 seconds of a receiver walking in Oulu, cut and parsed the way the reader does it.
    std::string log = ReadFixture("nokia-ld-4w.log");
    ASSERT_FALSE(log.empty());
    ReceiveRing ring;
    char sentence[kSentenceSize];
    for (size_t at = 0; at < log.size(); at += 64) {
        size_t n = std::min<size_t>(64, log.size() - at);
        ring.Push(reinterpret_cast<const uint8_t*>(log.data() + at), n);
        while (ring.NextSentence(sentence, sizeof(sentence), nullptr))
            gps->ParseSentence(sentence);
    }
    EXPECT_EQ(Posted(WM_GPS_POSITION), 19u);
    // $GPGGA,080333.000,6503.0196,N,02528.3548,E,1,07,1.2,3.5,M,21.6,M,,0000*59
    EXPECT_EQ(pos().latitude, 113446401 + 87836);
    EXPECT_EQ(pos().longitude, 43633231 + 824807);
    EXPECT_EQ(pos().altitude, 350);
    EXPECT_EQ(pos().satellitesUsed, 7);
    EXPECT_EQ(pos().fixMode, 3);
    EXPECT_EQ(sky().inView, 10); // 11 in view, one without SNR
    EXPECT_EQ(sky().hdop, 12);
    SYSTEMTIME t{2009, 12, 0, 5, 8, 3, 33, 0};
    EXPECT_EQ(gps->gpsTimeStamp, MakeTimeStamp(t));
}
