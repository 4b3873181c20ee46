// A tour or POI file (.TUR) as an item of the Manager, with the lock around its file.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/track_point.h"
#include "maps/manager_item.h"
#include "tours/tour_format.h"

class Tour;

// Holds a tour's lock for a scope; the lock is re-entrant.
class TourLockGuard {
public:
    explicit TourLockGuard(Tour* tour);
    ~TourLockGuard();
    TourLockGuard(const TourLockGuard&) = delete;
    TourLockGuard& operator=(const TourLockGuard&) = delete;

private:
    Tour* tour_;
};

constexpr int kTourColourCount = 7;
constexpr int kTourCustomColour = -3;
extern const COLORREF kTourColours[kTourColourCount];

class Tour : public ManagerItem {
public:
    Tour(const wchar_t* name = nullptr, const wchar_t* path = nullptr);
    ~Tour() override;

    // Renames the tour's file (see Rename).
    void SetName(const wchar_t* name) override;
    void GetInfoText(wchar_t* buffer, size_t chars) override;
    void AddUser(HDC context, View* user) override;
    bool RemoveUser(View* user) override;
    bool RenameFile(const wchar_t* oldBase, const wchar_t* newBase) override;
    // The painter draws tours; a tour only decides whether it meets the view (IntersectsBox).
    void Draw(View* view) override;

    void Lock() { EnterCriticalSection(&lock_); }
    void Unlock() { LeaveCriticalSection(&lock_); }

    bool IsOpen() const { return file != INVALID_HANDLE_VALUE; }
    void CloseFile();
    // Opens the file for reading and writing, shared, when it is closed.
    bool OpenReadWrite(DWORD disposition = OPEN_EXISTING);

    // Moves the file to "<folder of the path>\<name>.TUR"; false (after the message) on failure.
    bool Rename(const wchar_t* newBaseName);
    // True when the tour has no points yet or its bounds meet the box.
    bool IntersectsBox(const tur::Box& view) const;

    void SetColour(COLORREF colour);
    void NextColour();
    COLORREF Colour() const;

    // Header records. All take the lock; false on a failed read or write.
    bool WriteProperties(bool reopen, bool withBoundsAndLink);
    bool WriteBounds(HANDLE handle);
    // 1 when the properties block was found (bounds and link are optional), else 0.
    int ReadProperties(bool skipProperties);
    bool WriteDescription(const wchar_t* text);
    // Reads the tour description into out (at most `chars` characters with the terminator).
    bool ReadDescription(wchar_t* out, size_t chars);

    // Appends the label record of the point just written, at the current file position.
    bool AppendLabel(const char* symbol, uint32_t word, int32_t nameLink, int32_t descriptionLink);
    // Appends a text block (-7 name or -8 description) at the file end; returns its link
    // relative to the owning point, 0 on failure.
    int32_t AppendTextBlock(int32_t tag, int64_t pointOffset, const wchar_t* text);
    bool InsertLabelAfter(int64_t pointOffset, const char* symbol);
    bool DeletePoint(int64_t pointOffset);
    bool DeleteWaypoint(int64_t recordOffset);

    bool IsMarkedPoint(const TrackPoint& point) const;
    void ToggleMarkedPoint(const TrackPoint& point);

    TrackPoint work[2];
    int32_t changed = 1;
    HANDLE file = INVALID_HANDLE_VALUE;
    int32_t colourIndex = 0;
    int32_t version = tur::kVersion;
    tur::Box secondBox = tur::kEmptyBox;
    tur::Box bounds = tur::kEmptyBox;
    uint32_t descriptionOffset = 0;
    TrackPoint markedPoint;      // flags 0xFFFFFFFF: none
    TrackPoint highlightedPoint; // flags 0xFFFFFFFF: none
    COLORREF customColour = 0;
    TrackPoint foundPoint;
    int64_t foundOffset = 0;
    double foundDistance = 0.0;
    int32_t drawn = 0;
    int32_t lengthMetres = 0;

private:
    CRITICAL_SECTION lock_;
};

// "<prefix>yyyy-mm-dd_hh-mm<suffix>" from the local time, with "-ss" for a prefix "POI...".
std::wstring MakeTourFileName(const wchar_t* prefix, const wchar_t* suffix);
