// One serial connection to a GPS receiver: a reader thread that opens the port, reads NMEA
// sentences (or SiRF binary frames) into the fix records under the object's lock, smooths the
// position and posts WM_GPS_* messages to the owner window.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "gps/average_filter.h"
#include "gps/gps_records.h"
#include "gps/receive_ring.h"

class GPS {
public:
    // nmeaText: the owner's buffer of kNmeaTextChars characters for the NMEA view (may be
    // null). With the receiver switched off in the options the object stays inert.
    GPS(const wchar_t* portName, HWND owner, wchar_t* nmeaText, int baud);
    ~GPS();
    GPS(const GPS&) = delete;
    GPS& operator=(const GPS&) = delete;

    void GetSnapshot(GpsSnapshot* snapshot);
    void SetBaudrate(int baud);
    bool IsPortOpen() const { return port_ != INVALID_HANDLE_VALUE; }
    // Waits (in 100 ms steps, at most timeoutMs) until the reader tried to open the port;
    // returns at once when there is no reader. True when the port is open.
    bool WaitForOpen(DWORD timeoutMs);
    bool HasReader() const { return thread_ != nullptr; }
    void ResetFilters(int recreate);
    void ClearFix();
    void MarkDataReceived();
    // Takes the next complete sentence from the ring into buffer (kSentenceSize bytes).
    int NextSentence(char* buffer);

    // NMEA parsers: each ignores sentences of other types and sentences with a bad checksum.
    void ParseGSV(const char* sentence, GpsSnapshot* fix);
    void ParseGSA(const char* sentence, GpsSnapshot* fix);
    void ParseGGA(const char* sentence, GpsSnapshot* fix);
    void ParseRMC(const char* sentence, GpsSnapshot* fix);
    // The parsers in the reader's order, under the lock.
    void ParseSentence(const char* sentence);

    // SiRF receivers; every one does nothing on a chip that is not driven this way.
    bool IsSirfUnsupportedChip() const;
    void SendPsrf100();
    void SendPsrf103();
    void SendSirfBinaryMsg(uint8_t id, const uint8_t* payload, size_t n);
    void SwitchToNmea();
    void EnterSirfBinary();
    // The set-up sequence that owners send once the port opened; static navigation from
    // option word cfg1 bit 0, or as given.
    void SendSirfSetup();
    void SendSirfSetup(int staticNavigation);
    // Takes one frame from the ring and decodes it; 1 when a message 19 or 41 was decoded.
    int GetSirfBinaryMsg(uint8_t* frame);
    int ParseSirfNavParams(const uint8_t* frame, size_t length);
    int ParseSirfGeodetic(const uint8_t* frame, size_t length);

    const wchar_t* portName() const { return portName_; }
    int baudRate() const { return baud_; }
    GpsSnapshot& fixBlock() { return fix_; }
    const AverageFilter* courseFilter() const { return courseFilter_.get(); }

    // Words that owners and views read or write directly.
    std::atomic<int32_t> openAttempted{0};
    std::atomic<int32_t> dataReceived{0};
    std::atomic<int32_t> sirfBinaryMode{0};
    std::atomic<int32_t> gsaSeen{0};
    std::atomic<int32_t> copyText{0};  // set by the NMEA view while it shows the text
    std::atomic<int32_t> textShown{1}; // set by the NMEA view after drawing
    std::atomic<uint32_t> gpsTimeStamp{0};

private:
    static DWORD WINAPI ReaderThread(void* self);
    void RunReader();
    bool OpenPort();
    bool ReadPass();
    void TakeSentences(bool* tookAny);
    void SirfBinaryStep();
    void AppendText(const char* sentence, size_t* written);
    bool StopRequested();
    void ClosePort();
    void Smooth(const GpsPosition& raw);
    void CourseStep(uint16_t course, uint16_t* previous, bool moving);
    bool IsGps1() const;
    void Post(UINT msg) const;
    void WritePort(const void* bytes, size_t n);
    bool Moving(uint32_t speedCmS, int limitKmh) const;

    HWND owner_;
    std::atomic<HANDLE> port_{INVALID_HANDLE_VALUE};
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    std::atomic<int32_t> stop_{0};
    wchar_t portName_[32] = {};
    int baud_;
    std::unique_ptr<ReceiveRing> ring_;
    wchar_t* nmeaText_;
    std::atomic<int32_t> filtersStale_{1};
    bool waitForEvents_ = false;
    uint32_t firstBinaryTime_ = 0;
    std::unique_ptr<CRITICAL_SECTION> lock_;

    std::unique_ptr<PairAverageFilter> lonFilter_, latFilter_;
    std::unique_ptr<AverageFilter> altFilter_, speedFilter_, courseFilter_;

    GpsPosition position_{};
    GpsSky sky_{};
    GpsActiveSats active_{};
    GpsSnapshot fix_{};

    std::unique_ptr<char[]> sentence_;
    std::unique_ptr<uint8_t[]> frame_;
};

// The values the NMEA and SiRF decoders keep across sentences; shared by all GPS objects.
void ResetGpsParserState();

// RAII for the object's lock and for the pointer lock below.
class CriticalSectionGuard {
public:
    explicit CriticalSectionGuard(CRITICAL_SECTION* cs) : cs_(cs) {
        if (cs_)
            EnterCriticalSection(cs_);
    }
    ~CriticalSectionGuard() {
        if (cs_)
            LeaveCriticalSection(cs_);
    }
    CriticalSectionGuard(const CriticalSectionGuard&) = delete;
    CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;

private:
    CRITICAL_SECTION* cs_;
};
