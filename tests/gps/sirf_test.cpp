#include <gtest/gtest.h>

#include "gps/gps.h"
#include "gps/gps_instance.h"
#include "gps/gps_options.h"
#include "gps/sirf_frame.h"
#include "platform/oem_info.h"
#include "tests/gps/gps_test_util.h"
#include "tests/support/message_collector.h"

TEST(SirfCommands, NmeaCommandTexts) {
    EXPECT_EQ(Psrf100Command(4800), "$PSRF100,0,4800,8,1,0*0F\r\n");
    EXPECT_EQ(Psrf100Command(9600), "$PSRF100,0,9600,8,1,0*0C\r\n");
    EXPECT_EQ(Psrf103Command(), "$PSRF103,02,00,01,01*27\r\n");
}

TEST(SirfCommands, SwitchToNmeaFrame) {
    std::vector<uint8_t> payload = SirfSwitchToNmeaPayload(4800);
    std::vector<uint8_t> frame =
        BuildSirfFrame(kSirfMsgSwitchToNmea, payload.data(), payload.size());
    const std::vector<uint8_t> expected = {0xA0, 0xA2, 0x00, 0x18, 0x81, 0x00, 0x01, 0x01,
                                           0x00, 0x01, 0x01, 0x01, 0x02, 0x01, 0x01, 0x01,
                                           0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
                                           0x00, 0x00, 0x12, 0xC0, 0x01, 0x5F, 0xB0, 0xB3};
    EXPECT_EQ(frame, expected);
    // Above 65535 only the low 16 bits of the rate are sent.
    std::vector<uint8_t> fast = SirfSwitchToNmeaPayload(115200);
    EXPECT_EQ(fast[21], 0xC2);
    EXPECT_EQ(fast[22], 0x00);
}

TEST(SirfCommands, ChecksumIsFifteenBits) {
    std::vector<uint8_t> ones(300, 0xFF); // 76500 = 0x12AD4
    EXPECT_EQ(SirfChecksum(ones.data(), ones.size()), 0x2AD4);
}

namespace {
class SirfDecoderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetGpsParserState();
        gps.reset(new GPS(L"GARMIN USB", collector.hwnd(), nullptr, 4800));
    }
    void TearDown() override { SetOemInfoForTesting(L""); }

    // Message 41 with the fields the receiver uses.
    static std::vector<uint8_t> Geodetic(int32_t lat, int32_t lon, int32_t altMsl, uint16_t speed,
                                         uint16_t course, uint8_t sats, size_t dataLength = 90) {
        std::vector<uint8_t> d(dataLength, 0);
        auto put32 = [&](size_t at, int32_t v) {
            for (int i = 0; i < 4; ++i)
                if (at - 1 + i < d.size())
                    d[at - 1 + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (24 - 8 * i));
        };
        auto put16 = [&](size_t at, uint16_t v) {
            if (at < d.size()) {
                d[at - 1] = static_cast<uint8_t>(v >> 8);
                d[at] = static_cast<uint8_t>(v);
            }
        };
        put32(23, lat);
        put32(27, lon);
        put32(31, altMsl + 4690); // above the ellipsoid
        put32(35, altMsl);
        put16(40, speed);
        put16(42, course);
        if (88 <= d.size())
            d[87] = sats;
        return BuildSirfFrame(kSirfMsgGeodetic, d.data(), d.size());
    }

    MessageCollector collector;
    std::unique_ptr<GPS> gps;
};
} // namespace

TEST_F(SirfDecoderTest, GeodeticMessageSetsThePositionUnsmoothed) {
    std::vector<uint8_t> f = Geodetic(481173000, 115166667, 54540, 500, 9000, 7);
    ASSERT_EQ(gps->ParseSirfGeodetic(f.data(), f.size()), 1);
    const GpsPosition& p = *gps->fixBlock().position;
    EXPECT_EQ(p.latitude, 83980531); // 48.1173 degrees
    EXPECT_EQ(p.longitude, 20100375);
    EXPECT_EQ(p.altitude, 54540);
    EXPECT_EQ(p.speed, 500u);
    EXPECT_EQ(p.course, 1570); // 90 degrees
    EXPECT_EQ(p.satellitesUsed, 7);
    EXPECT_EQ(gps->fixBlock().latitude, p.latitude);
    EXPECT_EQ(gps->dataReceived, 1);
    collector.Pump();
    EXPECT_EQ(collector.Count(WM_GPS_POSITION), 1u);
}

TEST_F(SirfDecoderTest, ShortOrForeignMessagesAreIgnored) {
    std::vector<uint8_t> shortGeo = Geodetic(481173000, 115166667, 54540, 500, 9000, 7, 40);
    std::vector<uint8_t> shortNav = BuildSirfFrame(kSirfMsgNavParams, shortGeo.data(), 5);
    const uint8_t other[] = {1, 2, 3};
    std::vector<uint8_t> foreign = BuildSirfFrame(4, other, 3);
    for (const auto* f : {&shortGeo, &shortNav, &foreign}) {
        EXPECT_EQ(gps->ParseSirfGeodetic(f->data(), f->size()), 0);
        EXPECT_EQ(gps->ParseSirfNavParams(f->data(), f->size()), 0);
    }
    EXPECT_EQ(gps->fixBlock().position->latitude, 0);
    collector.Pump();
    EXPECT_EQ(collector.Count(WM_GPS_POSITION), 0u);
}

TEST_F(SirfDecoderTest, NavigationParametersGiveStaticNavigation) {
    std::vector<uint8_t> d(20, 0);
    d[12] = 1; // payload offset 13
    std::vector<uint8_t> f = BuildSirfFrame(kSirfMsgNavParams, d.data(), d.size());
    StaticNavigationFlag = 0;
    EXPECT_EQ(gps->ParseSirfNavParams(f.data(), f.size()), 1);
    EXPECT_EQ(StaticNavigationFlag, 1);
}

TEST_F(SirfDecoderTest, UnsupportedChipsByOemName) {
    for (const wchar_t* oem : {L"CENTRALITY Atlas", L"centrality", L"mitac Mio", L"M800V02x"}) {
        SetOemInfoForTesting(oem);
        EXPECT_TRUE(gps->IsSirfUnsupportedChip()) << oem;
    }
    for (const wchar_t* oem : {L"", L"Centralit", L"PLATFORM_OEM"}) {
        SetOemInfoForTesting(oem);
        EXPECT_FALSE(gps->IsSirfUnsupportedChip()) << oem;
    }
}

TEST_F(SirfDecoderTest, RecordedSirfSessionOfARealReceiver) {
    // A SiRF-II receiver walking in Adelboden (46N 7E), in SiRF binary.
    std::string log = ReadFixture("bu303-moving.log");
    ASSERT_FALSE(log.empty());
    ReceiveRing ring;
    uint8_t frame[kFrameSize];
    int decoded = 0;
    for (size_t at = 0; at < log.size(); at += 64) {
        size_t n = std::min<size_t>(64, log.size() - at);
        ring.Push(reinterpret_cast<const uint8_t*>(log.data() + at), n);
        size_t length = 0;
        ReceiveRing::Frame r;
        while ((r = ring.NextSirfFrame(frame, sizeof(frame), &length, nullptr)) !=
               ReceiveRing::Frame::None)
            if (r == ReceiveRing::Frame::Taken)
                decoded += gps->ParseSirfGeodetic(frame, length);
    }
    EXPECT_GT(decoded, 5);
    const GpsPosition& p = *gps->fixBlock().position;
    EXPECT_NEAR(p.latitude / 1745329.25, 46.5, 0.5);
    EXPECT_NEAR(p.longitude / 1745329.25, 7.5, 0.5);
    EXPECT_GT(p.altitude, 100000); // above 1000 m
    EXPECT_LT(p.altitude, 300000);
}
