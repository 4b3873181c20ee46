#include "gps/gps.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "core/time_stamp.h"
#include "gps/gps_instance.h"
#include "gps/gps_options.h"
#include "gps/gps_parser_state.h"
#include "gps/port_path.h"
#include "platform/ui_seam.h"

namespace {
constexpr DWORD kReadChunk = 16;
constexpr size_t kPassBytes = 64; // one read pass, unless the receiver is a Bluetooth one
constexpr DWORD kCommMask = EV_RXCHAR | EV_ERR;
constexpr DWORD kRetryPauseMs = 100; // after a failed wait or read
constexpr int kStopWaitSteps = 100;  // x 100 ms for the reader to end
constexpr uint32_t kSirfFallbackSeconds = 9;

// WaitCommEvent does not block under Wine, so reads with timeouts carry the waiting: a read
// returns 16 bytes, or what came before a 50 ms gap, or nothing after 250 ms.
const COMMTIMEOUTS kTimeouts = {50, 0, 250, 10, 10};

void SleepMs(DWORD ms) {
    Sleep(ms);
}
} // namespace

GPS::GPS(const wchar_t* portName, HWND owner, wchar_t* nmeaText, int baud)
    : owner_(owner), baud_(baud), nmeaText_(nmeaText) {
    if (!CurrentGpsOptions().UseGps())
        return;
    waitForEvents_ = true;
    swprintf(portName_, 32, L"%ls", portName ? portName : L"");
    fix_ = GpsSnapshot{0, 0, 0, &position_, &sky_, &active_, 0, 0, 0, 0};
    ClearFix();
    ResetFilters(1);
    ring_.reset(new (std::nothrow) ReceiveRing());
    sentence_.reset(new (std::nothrow) char[kSentenceSize]());
    frame_.reset(new (std::nothrow) uint8_t[kFrameSize]());
    if (!ring_ || !sentence_ || !frame_)
        UiMessageBox(nullptr, L"rbuf: no memory!", L"", MB_OK);
    ReceiverSeenFlag = 1;
    ReconnectTickCounter = 0;
    if (nmeaText_)
        nmeaText_[0] = 0;
    lock_.reset(new CRITICAL_SECTION);
    InitializeCriticalSection(lock_.get());
    if (wcscmp(portName_, L"GARMIN USB") == 0 || !ring_ || !sentence_ || !frame_)
        return;
    thread_ = CreateThread(nullptr, 0, ReaderThread, this, 0, &threadId_);
}

GPS::~GPS() {
    stop_ = 1;
    bool ended = true;
    if (thread_) {
        ended = WaitForSingleObject(thread_, kStopWaitSteps * 100) == WAIT_OBJECT_0;
        if (!ended) {
            // A read that does not return: cancel it and give the thread one more chance.
            CancelSynchronousIo(thread_);
            ended = WaitForSingleObject(thread_, 2000) == WAIT_OBJECT_0;
        }
        CloseHandle(thread_);
    }
    ClosePort();
    if (!ended) {
        // The thread may still touch these: leaking them beats freeing them under it.
        lock_.release();
        ring_.release();
        sentence_.release();
        frame_.release();
        return;
    }
    if (lock_)
        DeleteCriticalSection(lock_.get());
    lock_.reset();
    ResetFilters(0);
}

void GPS::ClosePort() {
    HANDLE h = port_.exchange(INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
}

bool GPS::StopRequested() {
    return stop_.load() != 0;
}

bool GPS::IsGps1() const {
    return wcscmp(portName_, L"GPS1:") == 0;
}

void GPS::Post(UINT msg) const {
    if (owner_)
        PostMessageW(owner_, msg, 0, 0);
}

bool GPS::WaitForOpen(DWORD timeoutMs) {
    for (DWORD waited = 0; thread_ && !openAttempted && waited < timeoutMs; waited += 100)
        SleepMs(100);
    return IsPortOpen();
}

void GPS::GetSnapshot(GpsSnapshot* snapshot) {
    if (!snapshot || !fix_.position)
        return;
    CriticalSectionGuard hold(lock_.get());
    if (snapshot->position)
        *snapshot->position = position_;
    if (snapshot->sky)
        *snapshot->sky = sky_;
    if (snapshot->active)
        *snapshot->active = active_;
    snapshot->longitude = fix_.longitude;
    snapshot->latitude = fix_.latitude;
    snapshot->altitude = fix_.altitude;
    snapshot->speed = fix_.speed;
}

void GPS::SetBaudrate(int baud) {
    baud_ = baud;
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(port_.load(), &dcb)) {
        SleepMs(200);
        dcb = DCB{};
        dcb.DCBlength = sizeof(dcb);
    }
    dcb.BaudRate = static_cast<DWORD>(baud);
    if (!SetCommState(port_.load(), &dcb)) {
        wchar_t text[64];
        swprintf(text, 64, L"SetBaudrate=%d: Failed SetCommState", baud);
        UiMessageBox(nullptr, text, portName_, MB_OK);
    }
}

void GPS::ResetFilters(int recreate) {
    CriticalSectionGuard hold(lock_.get());
    lonFilter_.reset();
    latFilter_.reset();
    altFilter_.reset();
    speedFilter_.reset();
    courseFilter_.reset();
    if (recreate) {
        GpsOptions options = CurrentGpsOptions();
        int n = options.FilterLength();
        lonFilter_.reset(new PairAverageFilter(n));
        latFilter_.reset(new PairAverageFilter(n));
        altFilter_.reset(new AverageFilter(n));
        speedFilter_.reset(new AverageFilter(n));
        courseFilter_.reset(new AverageFilter(options.CourseFilterLength()));
    }
    filtersStale_ = 1;
}

void GPS::ClearFix() {
    position_ = GpsPosition{};
    sky_ = GpsSky{};
    active_ = GpsActiveSats{};
    fix_.longitude = fix_.latitude = fix_.altitude = 0;
    fix_.speed = 0;
}

void GPS::MarkDataReceived() {
    dataReceived = 1;
    ReceiverSeenFlag = 1;
    ReconnectTickCounter = 0;
}

int GPS::NextSentence(char* buffer) {
    return ring_ && ring_->NextSentence(buffer, kSentenceSize, &stop_) ? 1 : 0;
}

bool GPS::Moving(uint32_t speedCmS, int limitKmh) const {
    return static_cast<int64_t>(speedCmS) * 36 / 1000 >= limitKmh;
}

// Runs with the lock held, after $GPGGA filled the position.
void GPS::Smooth(const GpsPosition& raw) {
    GpsOptions options = CurrentGpsOptions();
    if (!lonFilter_ || !latFilter_ || !altFilter_ || !speedFilter_)
        return;
    if (options.FilterOn() && Moving(fix_.speed, options.FilterRawSpeed())) {
        lonFilter_->Clear();
        latFilter_->Clear();
        altFilter_->Clear();
        speedFilter_->Clear();
    }
    if (courseFilter_ && options.CourseClearOn() && Moving(fix_.speed, options.CourseClearSpeed()))
        courseFilter_->Clear();
    if (filtersStale_.exchange(0)) {
        lonFilter_->Clear();
        latFilter_->Clear();
        altFilter_->Clear();
        speedFilter_->Clear();
        if (courseFilter_)
            courseFilter_->Clear();
    }
    if (raw.longitude != 0) {
        lonFilter_->Add(raw.longitude);
        altFilter_->Add(raw.altitude);
    }
    if (raw.latitude != 0)
        latFilter_->Add(raw.latitude);
    speedFilter_->Add(static_cast<int32_t>(raw.speed));
    CourseStep(raw.course, &ParserState().nmeaPreviousCourse,
               Moving(raw.speed, options.CourseMinSpeed()));

    fix_.longitude = static_cast<int32_t>(lonFilter_->Average());
    fix_.latitude = static_cast<int32_t>(latFilter_->Average());
    fix_.altitude = altFilter_->Average();
    fix_.speed = static_cast<uint32_t>(speedFilter_->Average());
    if (!options.FilterOn() || Moving(raw.speed, options.FilterRawSpeed())) {
        fix_.longitude = raw.longitude;
        fix_.latitude = raw.latitude;
        fix_.altitude = raw.altitude;
        fix_.speed = raw.speed;
    }
}

// Keeps the course average continuous across north (6283 mrad).
void GPS::CourseStep(uint16_t course, uint16_t* previous, bool moving) {
    if (!courseFilter_ || course == 0 || !(moving || courseFilter_->Count() == 0))
        return;
    if (*previous - 3142 > course)
        courseFilter_->Shift(-6283);
    else if (*previous + 3142 < course)
        courseFilter_->Shift(6283);
    courseFilter_->Add(course);
    *previous = course;
}

bool GPS::OpenPort() {
    HANDLE h = CreateFileW(PortDevicePath(portName_).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                           nullptr, OPEN_EXISTING, FILE_FLAG_WRITE_THROUGH, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        openAttempted = 1;
        return false;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(h, &dcb)) {
        SleepMs(200);
        dcb = DCB{};
        dcb.DCBlength = sizeof(dcb);
    }
    dcb.BaudRate = static_cast<DWORD>(baud_);
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    SetCommState(h, &dcb);
    COMMTIMEOUTS timeouts = kTimeouts;
    SetCommTimeouts(h, &timeouts);
    fix_.altitude = 0;
    port_ = h;
    // Last, so that owners who saw it find the port set up.
    openAttempted = 1;
    return true;
}

DWORD WINAPI GPS::ReaderThread(void* self) {
    static_cast<GPS*>(self)->RunReader();
    return 0;
}

void GPS::RunReader() {
    if (!OpenPort()) {
        stop_ = 0;
        return;
    }
    if (waitForEvents_)
        SetCommMask(port_.load(), kCommMask);
    while (!StopRequested()) {
        if (waitForEvents_) {
            DWORD events = 0;
            if (!WaitCommEvent(port_.load(), &events, nullptr))
                SleepMs(kRetryPauseMs);
            SetCommMask(port_.load(), kCommMask);
        }
        if (StopRequested())
            break;
        ReadPass();
        if (StopRequested())
            break;
        if (sirfBinaryMode)
            SirfBinaryStep();
        else
            firstBinaryTime_ = 0;
        if (!sirfBinaryMode) {
            bool tookAny = false;
            TakeSentences(&tookAny);
            if (!IsGps1() && copyText && tookAny)
                Post(WM_GPS_NMEA_TEXT);
        }
    }
    stop_ = 0;
}

bool GPS::ReadPass() {
    const bool untilEmpty = CurrentGpsOptions().Bluetooth();
    size_t total = 0;
    for (;;) {
        uint8_t chunk[kReadChunk];
        DWORD got = 0;
        DWORD started = GetTickCount();
        if (!ReadFile(port_.load(), chunk, kReadChunk, &got, nullptr)) {
            SleepMs(kRetryPauseMs);
            break;
        }
        if (got == 0) {
            // A port that answers at once with nothing must not turn the loop into a spin.
            if (GetTickCount() - started < 10)
                SleepMs(20);
            break;
        }
        ring_->Push(chunk, got);
        total += got;
        if (StopRequested() || (!untilEmpty && total >= kPassBytes))
            break;
    }
    return total > 0;
}

void GPS::AppendText(const char* sentence, size_t* written) {
    size_t len = strlen(sentence);
    // The buffer holds the sentences of the latest pass, each ended by a zero, the list by an
    // empty string.
    if (!nmeaText_ || len + *written + 2 >= kNmeaTextChars + 1)
        return;
    wchar_t* at = nmeaText_ + *written;
    for (size_t i = 0; i < len; ++i)
        at[i] = static_cast<unsigned char>(sentence[i]);
    at[len] = 0;
    at[len + 1] = 0;
    *written += len + 1;
    textShown = 0;
}

void GPS::TakeSentences(bool* tookAny) {
    size_t written = 0;
    while (!StopRequested() && !sirfBinaryMode && NextSentence(sentence_.get())) {
        *tookAny = true;
        if (copyText)
            AppendText(sentence_.get(), &written);
        ParseSentence(sentence_.get());
    }
}

void GPS::ParseSentence(const char* sentence) {
    CriticalSectionGuard hold(lock_.get());
    ParseGSV(sentence, &fix_);
    ParseGSA(sentence, &fix_);
    ParseGGA(sentence, &fix_);
    ParseRMC(sentence, &fix_);
}

void GPS::SirfBinaryStep() {
    int decoded = GetSirfBinaryMsg(frame_.get());
    uint32_t now = GetCurrentTimeStamp();
    if (firstBinaryTime_ == 0)
        firstBinaryTime_ = now;
    if (IsGps1())
        return;
    if (decoded || now - firstBinaryTime_ >= kSirfFallbackSeconds) {
        SwitchToNmea();
        sirfBinaryMode = 0;
        firstBinaryTime_ = 0;
    }
}

void GPS::WritePort(const void* bytes, size_t n) {
    HANDLE h = port_.load();
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(h, bytes, static_cast<DWORD>(n), &written, nullptr);
}
