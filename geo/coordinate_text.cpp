#include "geo/coordinate_text.h"

#include "core/truncate.h"
#include "geo/angles.h"
#include "geo/geo_options.h"
#include "geo/text_format.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
constexpr wchar_t kDegreeSign = 0xB0;

struct AngleParts {
    int degrees, minutes, seconds, tenThousandths;
};

AngleParts SplitAngle(int32_t angle) {
    const double v = std::fabs(static_cast<double>(angle)) + 0.5;
    AngleParts parts;
    parts.degrees = TruncateToInt(v * kAngleToDegrees);
    parts.minutes = TruncateToInt(v * kAngleToMinutes) - 60 * parts.degrees;
    const int totalMinutes = 60 * parts.degrees + parts.minutes;
    parts.tenThousandths = TruncateToInt(v * kAngleToTenThousandthMinutes) - 10000 * totalMinutes;
    parts.seconds = TruncateToInt(v * kAngleToSeconds) - 60 * totalMinutes;
    return parts;
}

int32_t NormalisedLongitude(int32_t longitude) {
    int64_t lon = longitude;
    if (lon > kAnglePi)
        lon -= kAngleTwoPi;
    else if (lon < -kAnglePi)
        lon += kAngleTwoPi;
    return static_cast<int32_t>(lon);
}

int DecimalText(int32_t angle, wchar_t letter, wchar_t* buffer, size_t bufferChars, int decimals) {
    const double degrees = (std::fabs(static_cast<double>(angle)) + 0.5) * kAngleToDegrees;
    const wchar_t* format = decimals < 4 ? L"%.6f\u00B0%lc" : L"%.7f\u00B0%lc";
    return FormatText(buffer, bufferChars, format, degrees, static_cast<wint_t>(letter));
}

int AngleText(int32_t angle, wchar_t letter, wchar_t* buffer, size_t bufferChars, int decimals) {
    const uint32_t format = CurrentCoordFormatBits();
    if (format == kCoordDecimalDegrees)
        return DecimalText(angle, letter, buffer, bufferChars, decimals);
    const AngleParts p = SplitAngle(angle);
    const wint_t l = static_cast<wint_t>(letter);
    if (format != 0)
        return FormatText(buffer, bufferChars, L"%d\u00B0%2.2d'%2.2d\"%lc", p.degrees, p.minutes,
                          p.seconds, l);
    if (decimals == 2)
        return FormatText(buffer, bufferChars, L"%d\u00B0%2.2d.%2.2d'%lc", p.degrees, p.minutes,
                          p.tenThousandths / 100, l);
    if (decimals == 3)
        return FormatText(buffer, bufferChars, L"%d\u00B0%2.2d.%3.3d'%lc", p.degrees, p.minutes,
                          p.tenThousandths / 10, l);
    return FormatText(buffer, bufferChars, L"%d\u00B0%2.2d.%4.4d'%lc", p.degrees, p.minutes,
                      p.tenThousandths, l);
}

wchar_t LatitudeLetter(int32_t latitude) {
    return latitude < 0 ? L'S' : L'N';
}

wchar_t LongitudeLetter(int32_t longitude) {
    return longitude < 0 ? L'W'
                         : static_cast<wchar_t>(static_cast<unsigned char>(CurrentEastLetter()));
}

// A bounded re-creation of the scanf forms, for narrow and wide text alike.
template <typename Char> class Scanner {
public:
    explicit Scanner(const Char* text) : at_(text) {}

    // "%lf" (or "%d" with integerOnly): blanks skipped, then a decimal number. An exponent is
    // taken only when digits follow, so "8E" reads 8 and leaves the letter.
    bool Number(double* value, bool integerOnly = false) {
        const Char* p = at_;
        while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
            ++p;
        const Char* start = p;
        if (*p == '+' || *p == '-')
            ++p;
        const Char* digits = p;
        while (IsDigit(*p))
            ++p;
        bool any = p != digits;
        if (!integerOnly && *p == '.') {
            ++p;
            const Char* fraction = p;
            while (IsDigit(*p))
                ++p;
            any = any || p != fraction;
        }
        if (!any)
            return false;
        if (!integerOnly && (*p == 'e' || *p == 'E')) {
            const Char* e = p + 1;
            if (*e == '+' || *e == '-')
                ++e;
            if (IsDigit(*e)) {
                while (IsDigit(*e))
                    ++e;
                p = e;
            }
        }
        std::string token;
        for (const Char* c = start; c != p; ++c)
            token.push_back(static_cast<char>(*c));
        *value = std::strtod(token.c_str(), nullptr);
        at_ = p;
        return true;
    }

    // "%[set]": one or more characters of the set; the first one is returned.
    bool Set(const wchar_t* set, Char* first = nullptr) {
        const Char* p = at_;
        while (*p && InSet(set, *p))
            ++p;
        if (p == at_)
            return false;
        if (first)
            *first = *at_;
        at_ = p;
        return true;
    }

    // "%[^stop]": one or more characters up to the stop character.
    bool Until(Char stop, std::string* out) {
        const Char* p = at_;
        while (*p && *p != stop)
            ++p;
        if (p == at_)
            return false;
        out->assign(at_, p);
        at_ = p;
        return true;
    }

    const Char* position() const { return at_; }

private:
    static bool IsDigit(Char c) { return c >= '0' && c <= '9'; }
    static bool InSet(const wchar_t* set, Char c) {
        for (; *set; ++set) {
            if (static_cast<wchar_t>(static_cast<typename std::make_unsigned<Char>::type>(c)) ==
                *set)
                return true;
        }
        return false;
    }
    const Char* at_;
};

struct CoordinateSets {
    const wchar_t* degree;
    const wchar_t* minute;
};

const wchar_t kLetters[] = L"EOWNSeowns";
const wchar_t kSecondMarks[] = L" \"";

template <typename Char>
bool ParseForm(const Char* text, int form, const CoordinateSets& sets, double parts[3],
               Char* letter) {
    Scanner<Char> s(text);
    parts[0] = parts[1] = parts[2] = 0.0;
    *letter = 0;
    switch (form) {
    case 1:
        return s.Number(&parts[0]) && s.Set(sets.degree) && s.Number(&parts[1]) &&
               s.Set(sets.minute) && s.Set(kLetters, letter);
    case 2:
        return s.Number(&parts[0]) && s.Set(sets.degree) && s.Number(&parts[1]) &&
               s.Set(sets.minute) && s.Number(&parts[2]) && s.Set(kSecondMarks) &&
               s.Set(kLetters, letter);
    case 3:
        return s.Number(&parts[0]) && s.Set(sets.degree) && s.Set(kLetters, letter);
    case 4:
        return s.Number(&parts[0]) && s.Set(kLetters, letter);
    default:
        return s.Number(&parts[0]);
    }
}

template <typename Char> int32_t ParseCoordinate(const Char* text, const CoordinateSets& sets) {
    if (!text)
        return -1;
    for (int form = 1; form <= 5; ++form) {
        double parts[3];
        Char letter;
        if (!ParseForm(text, form, sets, parts, &letter))
            continue;
        int32_t angle = TruncateToInt(parts[0] * kDegreesToAngle + parts[1] * 29088.820866572158 +
                                      parts[2] * 484.8136811095359);
        if (letter == 'W' || letter == 'S' || letter == 'w' || letter == 's')
            angle = angle == INT_MIN ? INT_MAX : -angle;
        return angle;
    }
    return -1;
}
} // namespace

int LatitudeDecimalText(int32_t latitude, wchar_t* buffer, size_t bufferChars, int decimals) {
    return DecimalText(latitude, LatitudeLetter(latitude), buffer, bufferChars, decimals);
}

int LongitudeDecimalText(int32_t longitude, wchar_t* buffer, size_t bufferChars, int decimals) {
    return DecimalText(longitude, LongitudeLetter(longitude), buffer, bufferChars, decimals);
}

int LatitudeText(int32_t latitude, wchar_t* buffer, size_t bufferChars, int decimals) {
    return AngleText(latitude, LatitudeLetter(latitude), buffer, bufferChars, decimals);
}

int LongitudeText(int32_t longitude, wchar_t* buffer, size_t bufferChars, int decimals) {
    const int32_t lon = NormalisedLongitude(longitude);
    return AngleText(lon, LongitudeLetter(lon), buffer, bufferChars, decimals);
}

int LatitudeText4(int32_t latitude, wchar_t* buffer, size_t bufferChars) {
    return LatitudeText(latitude, buffer, bufferChars, 4);
}

int LongitudeText4(int32_t longitude, wchar_t* buffer, size_t bufferChars) {
    return LongitudeText(longitude, buffer, bufferChars, 4);
}

int32_t ParseCoordinateText(const wchar_t* text) {
    static const CoordinateSets sets = {L" \u00B0dDgG", L" mM'"};
    return ParseCoordinate(text, sets);
}

int32_t ParseCoordinateTextA(const char* text) {
    static const CoordinateSets sets = {L" \u00B0dDgG", L" '"};
    return ParseCoordinate(text, sets);
}

size_t ParsePixelCoordLine(RefPoint* point, const char* text, size_t offset) {
    if (!text)
        return offset;
    const char* line = text + offset;
    const char* end = line + std::strcspn(line, "\r\n");
    // Scanning a copy of the line keeps every field inside it.
    const std::string lineText(line, end);
    Scanner<char> s(lineText.c_str());
    double x, y;
    std::string lon, lat;
    if (!s.Set(L" (") || !s.Number(&x, true))
        return end - text;
    point->x = TruncateToInt(x);
    if (!s.Set(L" ,") || !s.Number(&y, true))
        return end - text;
    point->y = TruncateToInt(y);
    if (!s.Set(L" )=>(") || !s.Until(',', &lon))
        return end - text;
    point->longitude = ParseCoordinateTextA(lon.c_str());
    if (!s.Set(L" ,") || !s.Until(')', &lat))
        return end - text;
    point->latitude = ParseCoordinateTextA(lat.c_str());
    return end - text;
}

void DecimalCommaToPoint(char* text) {
    if (!text)
        return;
    for (; *text && *text != '\r' && *text != '\n'; ++text) {
        if (*text == ',')
            *text = '.';
    }
}
