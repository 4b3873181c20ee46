#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gps/receive_ring.h"
#include "gps/sirf_frame.h"

namespace {
void Push(ReceiveRing& ring, const std::string& bytes) {
    ring.Push(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::vector<std::string> Sentences(ReceiveRing& ring) {
    std::vector<std::string> out;
    char buffer[kSentenceSize];
    while (ring.NextSentence(buffer, sizeof(buffer), nullptr))
        out.push_back(buffer);
    return out;
}
} // namespace

TEST(ReceiveRing, CutsSentences) {
    struct Case {
        const char* input;
        std::vector<std::string> sentences;
        size_t left; // bytes still waiting
    } cases[] = {
        {"$GPGGA,1*00\r\n", {"$GPGGA,1*00"}, 0},
        {"$GPGGA,1*00\n", {"$GPGGA,1*00"}, 0}, // bare LF: nothing cut off the text
        {"xx\r\n$A*1\r\n$B*2\n", {"$A*1", "$B*2"}, 0},
        {"garbage$A*1\r\n$B,half", {"$A*1"}, 7},
        {"no dollar at all\r\n", {}, 18},
        {"$\n", {"$"}, 0},
        {"", {}, 0},
    };
    for (const Case& c : cases) {
        ReceiveRing ring;
        Push(ring, c.input);
        EXPECT_EQ(Sentences(ring), c.sentences) << c.input;
        EXPECT_EQ(ring.Fill(), c.left) << c.input;
    }
}

TEST(ReceiveRing, HalfSentenceWaitsForTheRest) {
    ReceiveRing ring;
    Push(ring, "$GPRMC,08031");
    EXPECT_TRUE(Sentences(ring).empty());
    Push(ring, "5.000,A*00\r\n");
    EXPECT_EQ(Sentences(ring), std::vector<std::string>{"$GPRMC,080315.000,A*00"});
}

TEST(ReceiveRing, OverflowDropsTheOldestBytes) {
    ReceiveRing ring;
    Push(ring, "$OLD,");
    Push(ring, std::string(kRingSize - 20, 'x'));
    Push(ring, "\n$NEW*1\r\n" + std::string(20, 'y')); // overwrites "$OLD," and more
    EXPECT_EQ(ring.Fill(), kRingSize);
    EXPECT_EQ(Sentences(ring), std::vector<std::string>{"$NEW*1"});
    EXPECT_EQ(ring.Fill(), 20u);
}

TEST(ReceiveRing, WrapsAroundTheEnd) {
    ReceiveRing ring;
    for (int i = 0; i < 200; ++i) { // 200 x 30 bytes pass the 4096-byte boundary
        std::string s = "$GPTXT," + std::to_string(i) + "*00";
        Push(ring, s + "\r\n" + std::string(28 - s.size(), 'z'));
        ASSERT_EQ(Sentences(ring), std::vector<std::string>{s});
    }
}

TEST(ReceiveRing, CutsSirfFrames) {
    const uint8_t data[] = {1, 2, 3};
    std::vector<uint8_t> good = BuildSirfFrame(41, data, 3);
    std::vector<uint8_t> badSum = good;
    badSum[badSum.size() - 3] ^= 1;
    std::vector<uint8_t> tooLong = {0xA0, 0xA2, 0x7F, 0xFF, 41};
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        ReceiveRing::Frame result;
        size_t length;
        size_t left;
    } cases[] = {
        {"whole frame", good, ReceiveRing::Frame::Taken, good.size(), 0},
        {"garbage first", {}, ReceiveRing::Frame::Taken, good.size(), 0},
        {"wrong checksum", badSum, ReceiveRing::Frame::Damaged, 0, 0},
        {"half frame", {good.begin(), good.begin() + 6}, ReceiveRing::Frame::None, 0, 6},
        {"length never fits", tooLong, ReceiveRing::Frame::Damaged, 0, 3},
        {"no start", {0xA0, 0x00, 0xA2}, ReceiveRing::Frame::None, 0, 3},
    };
    cases[1].bytes = {'$', 'G', 0xA0};
    cases[1].bytes.insert(cases[1].bytes.end(), good.begin(), good.end());
    for (const Case& c : cases) {
        ReceiveRing ring;
        ring.Push(c.bytes.data(), c.bytes.size());
        uint8_t frame[kFrameSize];
        size_t length = 99;
        EXPECT_EQ(ring.NextSirfFrame(frame, sizeof(frame), &length, nullptr), c.result) << c.name;
        EXPECT_EQ(length, c.length) << c.name;
        EXPECT_EQ(ring.Fill(), c.left) << c.name;
    }
}

TEST(ReceiveRing, FrameSplitOverTwoPassesIsTakenOnTheSecond) {
    const uint8_t data[] = {9, 9};
    std::vector<uint8_t> frame = BuildSirfFrame(19, data, 2);
    ReceiveRing ring;
    uint8_t out[kFrameSize];
    size_t length = 0;
    ring.Push(frame.data(), 5);
    EXPECT_EQ(ring.NextSirfFrame(out, sizeof(out), &length, nullptr), ReceiveRing::Frame::None);
    ring.Push(frame.data() + 5, frame.size() - 5);
    EXPECT_EQ(ring.NextSirfFrame(out, sizeof(out), &length, nullptr), ReceiveRing::Frame::Taken);
    EXPECT_EQ(std::vector<uint8_t>(out, out + length), frame);
}
