#include "gps/gps_instance.h"

#include "gps/gps.h"

std::atomic<int32_t> ReceiverSeenFlag{0};
std::atomic<int32_t> ReconnectTickCounter{0};
std::atomic<int32_t> StaticNavigationFlag{0};
std::atomic<HANDLE> GpsDriverHandle{INVALID_HANDLE_VALUE};
wchar_t NmeaTextBuffer[kNmeaTextChars];

namespace {
std::atomic<GPS*> g_gps{nullptr};

struct PointerLock {
    CRITICAL_SECTION cs;
    PointerLock() { InitializeCriticalSection(&cs); }
    ~PointerLock() { DeleteCriticalSection(&cs); }
};
} // namespace

CRITICAL_SECTION* GpsLock() {
    static PointerLock lock; // created on first use, before any thread can race for it
    return &lock.cs;
}

GPS* GpsObjectPointer() {
    return g_gps.load();
}

GPS* ExchangeGpsObject(GPS* gps) {
    CriticalSectionGuard hold(GpsLock());
    return g_gps.exchange(gps);
}

void ReplaceGpsObject(GPS* gps) {
    CriticalSectionGuard hold(GpsLock());
    GPS* old = g_gps.exchange(gps);
    if (old != gps)
        delete old;
}
