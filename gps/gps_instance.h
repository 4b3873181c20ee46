// The program's one receiver and the words the main window's tick reads.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

class GPS;

// Set to 1 (and the counter to 0) by every GPS constructor and every valid sentence; the
// 500 ms tick counts silent ticks with them.
extern std::atomic<int32_t> ReceiverSeenFlag;
extern std::atomic<int32_t> ReconnectTickCounter;
// 0 or 1: the receiver's static navigation, from option word cfg1 bit 0 or the receiver.
extern std::atomic<int32_t> StaticNavigationFlag;

// The platform's GPS driver device ("GPD0:"), INVALID_HANDLE_VALUE while not open; the frame
// sends it its control codes and closes it at shut-down.
extern std::atomic<HANDLE> GpsDriverHandle;

// The lock around the pointer to the program's GPS object. Every create, replace and delete
// of that object happens under it (ReplaceGpsObject, DeleteGpsObject); readers that use the
// object for longer than one call hold it too.
CRITICAL_SECTION* GpsLock();
GPS* GpsObjectPointer();
// Under the lock: deletes the current object (its thread ends) and stores `gps` (may be null).
void ReplaceGpsObject(GPS* gps);
// Under the lock: stores `gps` and hands the previous object back to the caller, undeleted.
GPS* ExchangeGpsObject(GPS* gps);
inline void DeleteGpsObject() {
    ReplaceGpsObject(nullptr);
}

// The NMEA text that the reader hands to the NMEA view (zero-terminated lines, the list ended
// by an empty line).
extern wchar_t NmeaTextBuffer[];
