#include "core/startup_hooks.h"

#include "core/device_profile.h"
#include "core/program_globals.h"
#include "gps/gps.h"
#include "gps/gps_instance.h"
#include "tours/tour_writer.h"

#include <new>

uint32_t HookGpsReceiverTimeStamp() {
    CriticalSectionGuard hold(GpsLock());
    GPS* gps = GpsObjectPointer();
    return gps ? gps->gpsTimeStamp.load() : 0;
}
GPS* HookCreateGps(const wchar_t* port, HWND owner, int baudRate) {
    return new (std::nothrow) GPS(port, owner, NmeaTextBuffer, baudRate);
}
bool HookGpsOpenAttempted(GPS* gps) {
    // An object without a reader thread (receiver off, "GARMIN USB") never attempts.
    return gps->openAttempted != 0 || !gps->HasReader();
}
bool HookGpsPortOpen(GPS* gps) {
    return gps->IsPortOpen();
}
void HookGpsSendSetup(GPS* gps, int staticNavigation) {
    gps->SendSirfSetup(staticNavigation);
}
void HookDeleteGps(GPS* gps) {
    delete gps;
}

void HookCreatePoiDatabase(HINSTANCE, HWND) {}
bool HookHasCurrentMapView() {
    return false;
}

namespace {
// Recording reads the receiver's current fix, through the receiver pointer's lock.
class ReceiverFixSource : public TourFixSource {
public:
    TourFix CurrentFix() const override {
        TourFix fix;
        CriticalSectionGuard hold(GpsLock());
        GPS* gps = GpsObjectPointer();
        if (!gps)
            return fix;
        GpsSnapshotStorage storage;
        gps->GetSnapshot(&storage.snapshot);
        fix.longitude = storage.snapshot.longitude;
        fix.latitude = storage.snapshot.latitude;
        fix.altitude = storage.snapshot.altitude;
        fix.speed = static_cast<int32_t>(storage.snapshot.speed);
        fix.fixMode = static_cast<uint8_t>(storage.position.fixMode);
        fix.satellites = static_cast<uint8_t>(storage.position.satellitesUsed);
        return fix;
    }
};
} // namespace

TourFixSource* HookFixSource() {
    static ReceiverFixSource source;
    return &source;
}

void HookSelectMapByName(const wchar_t*) {}

bool HookCurrentMapName(wchar_t* out, size_t outChars) {
    CopyText(out, outChars, L"");
    return true;
}

bool HookImporterPaths(wchar_t*, wchar_t*) {
    return false;
}
bool HookNavigationColumnTypes(int*, int) {
    return false;
}
void HookSaveMapViewState() {}
void HookCloseGps() {
    DeleteGpsObject();
}
void HookRestartNavigationProgram() {}

void HookStoreItemFlag(ManagerItem*) {}
HWND HookTakeCalibrationClose() {
    return nullptr;
}
void HookLoadStations() {}
void HookOpenTourFromCommandLine(const wchar_t*) {}
void HookOpenMapFromCommandLine(const wchar_t*) {}
