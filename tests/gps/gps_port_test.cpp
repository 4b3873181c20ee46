// A real GPS object reading a pseudo-terminal COM port on its own thread.
#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "gps/gps.h"
#include "gps/gps_instance.h"
#include "gps/gps_options.h"
#include "gps/sirf_frame.h"
#include "platform/clock.h"
#include "tests/gps/gps_test_util.h"
#include "tests/gps/pty_port.h"
#include "tests/support/message_collector.h"

namespace {
constexpr int kReceiverCom = 20; // two digits: the "\\.\COMn" form
constexpr int kTestCom = 21;

std::string Line(const std::string& body) {
    return Nmea(body) + "\r\n";
}

const std::string kGga = Line("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const std::string kRmc = Line("GPRMC,123519,A,4807.038,N,01131.000,E,10.0,90.0,230394,003.1,W");

std::vector<uint8_t> GeodeticFrame() {
    std::vector<uint8_t> d(90, 0);
    const int32_t lat = 465000000, lon = 75500000, alt = 135000; // 46.5 N 7.55 E, 1350 m
    for (int i = 0; i < 4; ++i) {
        d[22 + i] = static_cast<uint8_t>(static_cast<uint32_t>(lat) >> (24 - 8 * i));
        d[26 + i] = static_cast<uint8_t>(static_cast<uint32_t>(lon) >> (24 - 8 * i));
        d[34 + i] = static_cast<uint8_t>(static_cast<uint32_t>(alt) >> (24 - 8 * i));
    }
    d[39] = 0x01; // 300 cm/s
    d[40] = 0x2C;
    d[87] = 6;
    return BuildSirfFrame(kSirfMsgGeodetic, d.data(), d.size());
}

std::string Bytes(const std::vector<uint8_t>& v) {
    return std::string(v.begin(), v.end());
}

class GpsPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetGpsParserState();
        ASSERT_TRUE(pty.ok()) << "pseudo-terminal COM ports could not be made";
    }
    std::unique_ptr<GPS> Open() {
        std::unique_ptr<GPS> gps(new GPS(pty.ReceiverName().c_str(), collector.hwnd(), text, 4800));
        EXPECT_TRUE(gps->WaitForOpen(5000));
        return gps;
    }
    MessageCollector collector;
    PtyPortPair pty{kReceiverCom, kTestCom};
    wchar_t text[kNmeaTextChars] = {};
};
} // namespace

TEST_F(GpsPortTest, NmeaAndSirfThroughTheReaderThread) {
    auto gps = Open();
    gps->copyText = 1;
    std::string burst = Line("GPGSV,2,1,05,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45") +
                        Line("GPGSV,2,2,05,15,10,270,30") +
                        Line("GPGSA,A,3,01,02,12,14,15,,,,,,,,2.5,1.3,2.1");
    for (int i = 0; i < 10; ++i)
        burst += kRmc;
    ASSERT_TRUE(pty.Write(burst + kGga));
    ASSERT_TRUE(collector.WaitFor(WM_GPS_POSITION, 5000));
    EXPECT_EQ(collector.Count(WM_GPS_SATELLITES) >= 1, true);
    ASSERT_TRUE(collector.WaitFor(WM_GPS_NMEA_TEXT, 2000));

    GpsSnapshotStorage snap;
    gps->GetSnapshot(&snap.snapshot);
    EXPECT_EQ(snap.position.latitude, 83980531);
    EXPECT_EQ(snap.snapshot.latitude, 83980531); // 18 km/h: the raw position
    EXPECT_EQ(snap.position.speed, 500u);
    EXPECT_EQ(snap.snapshot.speed, 500u);
    EXPECT_EQ(snap.position.course, 1570);
    EXPECT_EQ(snap.position.fixMode, 3);
    EXPECT_EQ(snap.sky.inView, 5);
    EXPECT_EQ(snap.sky.satellites[4].azimuth, -15707);
    EXPECT_EQ(snap.sky.hdop, 13);
    EXPECT_EQ(gps->gpsTimeStamp, 0u); // ten valid $GPRMC: not trusted yet
    EXPECT_EQ(gps->dataReceived, 1);
    // The text of the latest pass: zero-terminated sentences, ended by an empty one.
    int lines = 0;
    for (const wchar_t* line = text; *line; line += wcslen(line) + 1, ++lines) {
        EXPECT_EQ(wcsncmp(line, L"$GP", 3), 0);
        EXPECT_EQ(NmeaChecksumW(line), wcstol(wcschr(line, L'*') + 1, nullptr, 16));
    }
    EXPECT_GE(lines, 1);
    EXPECT_EQ(gps->textShown, 0);

    ASSERT_TRUE(pty.Write(kRmc + kGga));
    ASSERT_TRUE(collector.WaitFor(WM_GPS_POSITION, 5000, 2));
    EXPECT_NE(gps->gpsTimeStamp, 0u);

    // SiRF binary: the owner switches the receiver, the reader decodes one geodetic message
    // and switches it back to NMEA.
    gps->EnterSirfBinary();
    std::string commands = pty.Read(3 * 26 + 2 * 10, 3000);
    std::string psrf100 = Psrf100Command(4800);
    EXPECT_EQ(commands.substr(0, 3 * psrf100.size()), psrf100 + psrf100 + psrf100);
    const uint8_t poll = 0;
    EXPECT_EQ(commands.substr(3 * psrf100.size()),
              Bytes(BuildSirfFrame(kSirfMsgPollNavParams, &poll, 1)) +
                  Bytes(BuildSirfFrame(kSirfMsgPollNavParams, &poll, 1)));
    EXPECT_EQ(gps->sirfBinaryMode, 1);
    std::vector<uint8_t> geo = GeodeticFrame();
    ASSERT_TRUE(pty.Write(std::string("\x01\x02", 2) + Bytes(geo)));
    ASSERT_TRUE(collector.WaitFor(WM_GPS_POSITION, 5000, 3));
    std::vector<uint8_t> payload = SirfSwitchToNmeaPayload(4800);
    std::string back = Bytes(BuildSirfFrame(kSirfMsgSwitchToNmea, payload.data(), payload.size()));
    EXPECT_EQ(pty.Read(back.size(), 3000), back);
    gps->GetSnapshot(&snap.snapshot);
    EXPECT_EQ(snap.snapshot.latitude, 81157810);
    EXPECT_EQ(snap.snapshot.altitude, 135000);
    EXPECT_EQ(snap.snapshot.speed, 300u);
    EXPECT_EQ(snap.position.satellitesUsed, 6);

    // And NMEA again.
    ASSERT_TRUE(pty.Write(kGga));
    ASSERT_TRUE(collector.WaitFor(WM_GPS_POSITION, 5000, 4));
    EXPECT_EQ(gps->sirfBinaryMode, 0);
}

TEST_F(GpsPortTest, SetupSequenceBytes) {
    auto gps = Open();
    StaticNavigationFlag = 0;
    gps->SendSirfSetup(1);
    EXPECT_EQ(StaticNavigationFlag, 1);
    const uint8_t on = 1;
    std::vector<uint8_t> payload = SirfSwitchToNmeaPayload(4800);
    std::string expected =
        Psrf100Command(4800) + Psrf100Command(4800) + Psrf100Command(4800) +
        Bytes(BuildSirfFrame(kSirfMsgStaticNav, &on, 1)) +
        Bytes(BuildSirfFrame(kSirfMsgSwitchToNmea, payload.data(), payload.size())) +
        Psrf103Command() + Psrf103Command();
    EXPECT_EQ(pty.Read(expected.size(), 3000), expected);
}

TEST_F(GpsPortTest, GarbageOnThePortPostsNoPosition) {
    auto gps = Open();
    std::mt19937 random(99);
    std::string noise;
    for (int i = 0; i < 20000; ++i)
        noise += static_cast<char>(random() & 0xFF);
    std::string bad = kGga;
    bad[20] ^= 1;
    ASSERT_TRUE(pty.Write(noise + bad + kGga.substr(0, 30) + "\r\n" + "\xA0\xA2\x7F\xFF"));
    Sleep(1500);
    collector.Pump();
    EXPECT_EQ(collector.Count(WM_GPS_POSITION), 0u);
    GpsSnapshotStorage snap;
    gps->GetSnapshot(&snap.snapshot);
    EXPECT_EQ(snap.position.latitude, 0);
    // The reader is still alive.
    ASSERT_TRUE(pty.Write("\r\n" + kGga));
    EXPECT_TRUE(collector.WaitFor(WM_GPS_POSITION, 5000));
}

TEST_F(GpsPortTest, SirfFallsBackToNmeaAfterNineSeconds) {
    static std::atomic<int> offset{0};
    offset = 0;
    ClockHooks previous = SetClockHooks({[](SYSTEMTIME* t) {
                                             GetLocalTime(t);
                                             FILETIME f;
                                             SystemTimeToFileTime(t, &f);
                                             ULARGE_INTEGER u{{f.dwLowDateTime, f.dwHighDateTime}};
                                             u.QuadPart += offset.load() * 10000000ULL;
                                             f = {u.LowPart, u.HighPart};
                                             FileTimeToSystemTime(&f, t);
                                         },
                                         [](const SYSTEMTIME*) -> BOOL { return TRUE; }});
    auto gps = Open();
    gps->sirfBinaryMode = 1; // as after EnterSirfBinary, without the receiver's answer
    ASSERT_TRUE(pty.Write(kGga));
    Sleep(700);
    collector.Pump();
    EXPECT_EQ(collector.Count(WM_GPS_POSITION), 0u); // NMEA is not read in binary mode
    EXPECT_EQ(gps->sirfBinaryMode, 1);
    offset = 10;
    std::vector<uint8_t> payload = SirfSwitchToNmeaPayload(4800);
    std::string back = Bytes(BuildSirfFrame(kSirfMsgSwitchToNmea, payload.data(), payload.size()));
    EXPECT_EQ(pty.Read(back.size(), 3000), back);
    ASSERT_TRUE(pty.Write(kGga));
    EXPECT_TRUE(collector.WaitFor(WM_GPS_POSITION, 5000));
    EXPECT_EQ(gps->sirfBinaryMode, 0);
    gps.reset();
    SetClockHooks(previous);
}

TEST_F(GpsPortTest, DestroyingARunningReaderIsQuick) {
    auto gps = Open();
    ASSERT_TRUE(pty.Write(kGga));
    ASSERT_TRUE(collector.WaitFor(WM_GPS_POSITION, 5000));
    DWORD start = GetTickCount();
    gps.reset();
    EXPECT_LT(GetTickCount() - start, 2000u);
}

TEST(GpsOpen, OwnersNeverWaitForAReaderThatDoesNotExist) {
    MessageCollector collector;
    DWORD start = GetTickCount();
    {
        GPS missing(L"COM29:", collector.hwnd(), nullptr, 4800); // no such device
        EXPECT_FALSE(missing.WaitForOpen(5000));
        EXPECT_EQ(missing.openAttempted, 1);
    }
    {
        GPS garmin(L"GARMIN USB", collector.hwnd(), nullptr, 4800);
        EXPECT_FALSE(garmin.HasReader());
        EXPECT_FALSE(garmin.WaitForOpen(5000));
        EXPECT_EQ(garmin.openAttempted, 0);
    }
    {
        GpsOptions off;
        off.cfg7 = 0;
        SetGpsOptionsSource([off] { return off; });
        GPS inert(L"COM20:", collector.hwnd(), nullptr, 4800);
        SetGpsOptionsSource(nullptr);
        EXPECT_FALSE(inert.HasReader());
        EXPECT_FALSE(inert.WaitForOpen(5000));
        GpsSnapshotStorage snap;
        inert.GetSnapshot(&snap.snapshot); // an inert object answers without a lock
        ReplaceGpsObject(nullptr);
    }
    EXPECT_LT(GetTickCount() - start, 3000u);
}

TEST(GpsInstance, ReplaceDeletesThePreviousObject) {
    MessageCollector collector;
    ReplaceGpsObject(new GPS(L"GARMIN USB", collector.hwnd(), nullptr, 4800));
    GPS* first = GpsObjectPointer();
    ASSERT_NE(first, nullptr);
    ReplaceGpsObject(new GPS(L"GARMIN USB", collector.hwnd(), nullptr, 4800));
    EXPECT_NE(GpsObjectPointer(), nullptr);
    DeleteGpsObject();
    EXPECT_EQ(GpsObjectPointer(), nullptr);
}

// Reads a receiver on a port named by TW_GPS_LIVE_PORT ("COM6:"), such as the simulated one of
// scripts/run.sh; skipped without it.
TEST(LiveReceiver, ReadsPositions) {
    wchar_t port[32] = {};
    if (!GetEnvironmentVariableW(L"TW_GPS_LIVE_PORT", port, 32))
        GTEST_SKIP() << "TW_GPS_LIVE_PORT not set";
    MessageCollector collector;
    GPS gps(port, collector.hwnd(), nullptr, 4800);
    ASSERT_TRUE(gps.WaitForOpen(5000));
    ASSERT_TRUE(collector.WaitFor(WM_GPS_POSITION, 10000));
    GpsSnapshotStorage snap;
    gps.GetSnapshot(&snap.snapshot);
    EXPECT_NE(snap.position.latitude, 0);
    printf("live: latitude %d longitude %d (1e-8 rad)\n", snap.position.latitude,
           snap.position.longitude);
}
