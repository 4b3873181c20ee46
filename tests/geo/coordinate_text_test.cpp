#include "geo/coordinate_text.h"

#include "geo_test_options.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

constexpr int32_t k47_15_25 = 82474079; // 47 deg 15.25 min
constexpr int32_t k8_5 = 14835298;      // 8.5 deg

struct FormatCase {
    uint32_t cfg4;
    char east;
    bool longitude;
    int32_t angle;
    int decimals;
    const wchar_t* expected;
};

TEST(CoordinateText, FormatsLettersAndTruncation) {
    const FormatCase cases[] = {
        {0, 'E', false, k47_15_25, 4, L"47\u00B015.2500'N"},
        {0, 'E', false, k47_15_25, 3, L"47\u00B015.250'N"},
        {0, 'E', false, k47_15_25, 2, L"47\u00B015.25'N"},
        {0, 'E', false, -k47_15_25, 4, L"47\u00B015.2500'S"},
        {0x100000, 'E', false, k47_15_25, 4, L"47\u00B015'15\"N"},
        {0x300000, 'E', false, k47_15_25, 2, L"47\u00B015'15\"N"},
        {0x200000, 'E', false, k47_15_25, 2, L"47.254167\u00B0N"},
        {0x200000, 'E', false, k47_15_25, 4, L"47.2541667\u00B0N"},
        {0x200000, 'E', true, -k8_5, 3, L"8.500000\u00B0W"},
        {0, 'E', false, 0, 4, L"0\u00B000.0000'N"},
        {0, 'E', true, 0, 4, L"0\u00B000.0000'E"},
        {0, 'O', true, 0, 4, L"0\u00B000.0000'O"},    // east letter of the second language
        {0, 'O', true, k8_5, 4, L"8\u00B029.9999'O"}, // minutes never carry into a degree
        {0, 'E', true, -k8_5, 4, L"8\u00B029.9999'W"},
        {0, 'E', true, 314159266, 4, L"179\u00B059.9999'W"}, // just past 180 east
        {0, 'E', true, -314159266, 4, L"179\u00B059.9999'E"},
        {0x100000, 'E', true, 314159265, 4, L"180\u00B000'00\"E"},
    };
    for (const FormatCase& c : cases) {
        GeoOptionsScope options(0, c.cfg4, c.east);
        wchar_t text[40];
        if (c.longitude)
            LongitudeText(c.angle, text, 40, c.decimals);
        else
            LatitudeText(c.angle, text, 40, c.decimals);
        EXPECT_STREQ(text, c.expected) << c.angle << " " << c.cfg4;
    }
    GeoOptionsScope options(0, 0x100000);
    wchar_t text[40];
    LatitudeDecimalText(k47_15_25, text, 40, 4); // decimal whatever the format
    EXPECT_STREQ(text, L"47.2541667\u00B0N");
    LongitudeText4(-k8_5, text, 40);
    EXPECT_STREQ(text, L"8\u00B029'59\"W");
    wchar_t small[6];
    LatitudeText4(k47_15_25, small, 6);
    EXPECT_STREQ(small, L"47\u00B015");
}

struct ParseCase {
    const wchar_t* text;
    int32_t expected;
};

TEST(CoordinateText, ParsesEveryFormWide) {
    const ParseCase cases[] = {
        {L"8.5", k8_5},
        {L"8.5W", -k8_5},
        {L"8.5 w", -k8_5},
        {L"8.5\u00B0W", -k8_5},
        {L"8\u00B030'W", -k8_5},
        {L"8\u00B030'15\"E", 14842570},
        {L"8d30m15 E", 14842570},
        {L"-8.5", -k8_5},
        {L"-8.5W", k8_5},
        {L"47\u00B015.25'N", k47_15_25},
        {L"47 15.25 N", k47_15_25},
        {L"47g15.25mn", k47_15_25},
        {L"12.5 s", -21816615},
        {L"8.5E", k8_5},     // the letter, not an exponent
        {L"1e1E", 17453292}, // an exponent with its digits
        {L"8.5O", k8_5},
        {L"N47", -1},
        {L"", -1},
        {L"abc", -1},
        {L".", -1},
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(ParseCoordinateText(c.text), c.expected) << c.text;
    EXPECT_EQ(ParseCoordinateText(nullptr), -1);
}

TEST(CoordinateText, ParsesNarrowTextWithItsOwnMinuteMarks) {
    const struct {
        const char* text;
        int32_t expected;
    } cases[] = {
        {"47\xB0"
         "15.25'N",
         k47_15_25},
        {"8\xB0"
         "30'15\"E",
         14842570},
        {"47 15.25 N", k47_15_25},
        {"47d15.25mN", 82030474}, // no m among the minute marks: the degrees alone
        {"-8.5W", k8_5},
        {"N47", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseCoordinateTextA(c.text), c.expected) << c.text;
}

TEST(CoordinateText, LongInputNeverOverruns) {
    std::string digits(200000, '1');
    EXPECT_EQ(ParseCoordinateTextA(digits.c_str()), INT_MAX); // saturates
    std::wstring junk(200000, L'\u00B0');
    EXPECT_EQ(ParseCoordinateText(junk.c_str()), -1);
    std::string line = "(1,2) = (" + std::string(100000, 'x') + ", " + std::string(100000, 'y');
    RefPoint point;
    EXPECT_EQ(ParsePixelCoordLine(&point, line.c_str(), 0), line.size());
    EXPECT_EQ(point.x, 1);
    EXPECT_EQ(point.y, 2);
}

TEST(CoordinateText, PixelCoordinateLines) {
    const char text[] = "(120,45) = (11\xB0"
                        "30.5'E, 47\xB0"
                        "15.25'N)\r\n"
                        " 7, -8 => (8.5W,47.5S\n"
                        "(1,2)\r\n";
    RefPoint point;
    size_t end = ParsePixelCoordLine(&point, text, 0);
    EXPECT_EQ(text[end], '\r');
    EXPECT_EQ(point.x, 120);
    EXPECT_EQ(point.y, 45);
    EXPECT_EQ(point.longitude, 20085830);
    EXPECT_EQ(point.latitude, k47_15_25);

    RefPoint second;
    end = ParsePixelCoordLine(&second, text, end + 2);
    EXPECT_EQ(text[end], '\n');
    EXPECT_EQ(second.x, 7);
    EXPECT_EQ(second.y, -8);
    EXPECT_EQ(second.longitude, -k8_5);
    EXPECT_EQ(second.latitude, -82903139); // the line ends the text without a bracket

    RefPoint third;
    third.longitude = 99;
    end = ParsePixelCoordLine(&third, text, end + 1);
    EXPECT_EQ(text[end], '\r');
    EXPECT_EQ(third.x, 1);
    EXPECT_EQ(third.y, 2);
    EXPECT_EQ(third.longitude, 99); // missing fields stay missing
}

TEST(CoordinateText, DecimalCommaOnlyOnTheFirstLine) {
    char text[] = "1,5;2,5\r\n3,5";
    DecimalCommaToPoint(text);
    EXPECT_STREQ(text, "1.5;2.5\r\n3,5");
}

} // namespace
