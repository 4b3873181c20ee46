// SiRF receivers: the NMEA commands that switch them, the binary frames sent to them and the
// two binary messages read from them.
#include <cwchar>

#include "core/truncate.h"
#include "gps/gps.h"
#include "gps/gps_instance.h"
#include "gps/gps_options.h"
#include "gps/gps_parser_state.h"
#include "gps/sirf_frame.h"
#include "platform/oem_info.h"

namespace {
// Message 41 (geodetic navigation data), offsets within the payload (id at 0):
//   23 latitude, 27 longitude   int32, degrees x 1e7
//   31 altitude above ellipsoid int32, m x 100
//   35 altitude above MSL       int32, m x 100 (cm, as $GPGGA gives it)
//   40 speed over ground        uint16, m/s x 100 (cm/s)
//   42 course over ground       uint16, degrees x 100, clockwise from north
//   88 satellites in the fix    uint8
constexpr size_t kGeoLatitude = 23, kGeoLongitude = 27, kGeoAltitudeMsl = 35;
constexpr size_t kGeoSpeed = 40, kGeoCourse = 42, kGeoSatellites = 88;
constexpr size_t kGeoMinPayload = kGeoSatellites + 1;
// Message 19 (navigation parameters): the static-navigation byte.
constexpr size_t kNavStaticNav = 13;
constexpr size_t kNavMinPayload = kNavStaticNav + 1;

constexpr double kDeg1e7To1e8Rad = 0.17453292519943295;
constexpr double kCentidegreesToMrad = 0.174532925199;
constexpr uint16_t kMaxCourseMrad = 6283;

struct OemName {
    const wchar_t* name;
    size_t chars;
};
// Devices whose receiver is not driven with SiRF commands.
const OemName kSirfUnsupported[] = {{L"Mitac", 5}, {L"M800V02", 7}, {L"Centrality", 10}};
} // namespace

bool GPS::IsSirfUnsupportedChip() const {
    wchar_t oem[128];
    GetOemInfo(oem, 128);
    for (const OemName& n : kSirfUnsupported)
        if (_wcsnicmp(oem, n.name, n.chars) == 0)
            return true;
    return false;
}

void GPS::SendPsrf100() {
    if (IsSirfUnsupportedChip())
        return;
    std::string command = Psrf100Command(baud_);
    for (int i = 0; i < 3; ++i) {
        WritePort(command.data(), command.size());
        Sleep(500);
    }
}

void GPS::SendPsrf103() {
    if (IsSirfUnsupportedChip())
        return;
    std::string command = Psrf103Command();
    for (int i = 0; i < 2; ++i) {
        WritePort(command.data(), command.size());
        Sleep(500);
    }
}

void GPS::SendSirfBinaryMsg(uint8_t id, const uint8_t* payload, size_t n) {
    if (IsSirfUnsupportedChip())
        return;
    std::vector<uint8_t> frame = BuildSirfFrame(id, payload, n);
    WritePort(frame.data(), frame.size());
    Sleep(100);
}

void GPS::SwitchToNmea() {
    std::vector<uint8_t> payload = SirfSwitchToNmeaPayload(static_cast<uint32_t>(baud_));
    SendSirfBinaryMsg(kSirfMsgSwitchToNmea, payload.data(), payload.size());
}

void GPS::EnterSirfBinary() {
    if (IsSirfUnsupportedChip())
        return;
    SendPsrf100();
    sirfBinaryMode = 1;
    Sleep(100);
    const uint8_t poll = 0;
    SendSirfBinaryMsg(kSirfMsgPollNavParams, &poll, 1);
    Sleep(50);
    SendSirfBinaryMsg(kSirfMsgPollNavParams, &poll, 1);
    Sleep(50);
}

void GPS::SendSirfSetup() {
    SendSirfSetup(CurrentGpsOptions().StaticNavigation() ? 1 : 0);
}

void GPS::SendSirfSetup(int staticNavigation) {
    bool staticNav = staticNavigation != 0;
    StaticNavigationFlag = staticNav ? 1 : 0;
    if (IsSirfUnsupportedChip())
        return;
    SendPsrf100();
    Sleep(50);
    const uint8_t flag = staticNav ? 1 : 0;
    SendSirfBinaryMsg(kSirfMsgStaticNav, &flag, 1);
    Sleep(50);
    SwitchToNmea();
    SendPsrf103();
}

int GPS::GetSirfBinaryMsg(uint8_t* frame) {
    if (!ring_ || !frame || IsSirfUnsupportedChip())
        return 0;
    size_t length = 0;
    if (ring_->NextSirfFrame(frame, kFrameSize, &length, &stop_) != ReceiveRing::Frame::Taken)
        return 0;
    if (ParseSirfNavParams(frame, length))
        return 1;
    return ParseSirfGeodetic(frame, length);
}

int GPS::ParseSirfNavParams(const uint8_t* frame, size_t length) {
    if (length < kSirfFrameOverhead + 1 || frame[4] != kSirfMsgNavParams)
        return 0;
    size_t payload = length - kSirfFrameOverhead;
    if (payload < kNavMinPayload)
        return 0; // too short for its fields: ignored
    StaticNavigationFlag = frame[4 + kNavStaticNav];
    return 1;
}

int GPS::ParseSirfGeodetic(const uint8_t* frame, size_t length) {
    if (length < kSirfFrameOverhead + 1 || frame[4] != kSirfMsgGeodetic || !fix_.position)
        return 0;
    size_t payload = length - kSirfFrameOverhead;
    if (payload < kGeoMinPayload)
        return 0; // too short for its fields: ignored
    const uint8_t* p = frame + 4;
    {
        CriticalSectionGuard hold(lock_.get());
        GpsPosition& pos = position_;
        pos.latitude = TruncateToInt(ReadS32BE(p + kGeoLatitude) * kDeg1e7To1e8Rad);
        pos.longitude = TruncateToInt(ReadS32BE(p + kGeoLongitude) * kDeg1e7To1e8Rad);
        pos.altitude = ReadS32BE(p + kGeoAltitudeMsl);
        fix_.longitude = pos.longitude;
        fix_.latitude = pos.latitude;
        fix_.altitude = pos.altitude;
        pos.speed = ReadU16BE(p + kGeoSpeed);
        fix_.speed = pos.speed;
        int course = TruncateToInt(ReadU16BE(p + kGeoCourse) * kCentidegreesToMrad);
        pos.course = static_cast<uint16_t>(course > kMaxCourseMrad ? kMaxCourseMrad : course);
        CourseStep(pos.course, &ParserState().sirfPreviousCourse,
                   Moving(pos.speed, CurrentGpsOptions().CourseMinSpeed()));
        pos.satellitesUsed = p[kGeoSatellites];
        fix_.positionUpdated = 1;
    }
    MarkDataReceived();
    Post(WM_GPS_POSITION);
    return 1;
}
