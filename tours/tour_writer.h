// Appends records to one tour file: the only way points get into a .TUR file (recording, every
// importer, the planned-tour layer). Opens a new segment whenever a point leaves the current
// 2-arc-minute cell and keeps the header's bounds up to date.
#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/track_point.h"
#include "tours/tour.h"
#include "tours/tour_format.h"

// What recording needs of the receiver's current fix.
struct TourFix {
    int32_t longitude = 0; // radians x 10^8
    int32_t latitude = 0;
    int32_t altitude = kNoAltitude; // centimetres
    int32_t speed = 0;              // centimetres per second
    uint8_t fixMode = 0;
    uint8_t satellites = 0;
    uint16_t quality = 0; // the word of the -4 record
};

class TourFixSource {
public:
    virtual ~TourFixSource() = default;
    virtual TourFix CurrentFix() const = 0;
};

// The recording statistics that survive a restart through the registry.
struct TourStatistics {
    int32_t active = 0;
    uint32_t startTime = 0;    // "Duration"
    uint32_t distance = 0;     // "Distance", whole metres
    uint32_t pointCounter = 0; // "TourPoint"
    std::wstring path;         // "CurTour"
};

class TourWriter {
public:
    // A writer for a new tour file (importers, planning: no fix source; the file is created,
    // replacing one that exists) or for recording (fix source: the file is appended to).
    TourWriter(TourFixSource* fix, const wchar_t* path, int colourIndex, uint8_t kind,
               bool skipExistenceCheck = false);
    // The recording writer of an existing tour item; the file stays open.
    static std::unique_ptr<TourWriter> ForTour(TourFixSource* fix, Tour* tour);
    ~TourWriter();
    TourWriter(const TourWriter&) = delete;
    TourWriter& operator=(const TourWriter&) = delete;

    Tour* GetTour() const { return tour_; }
    // Hands over the tour made by the constructor when no Manager took it.
    std::unique_ptr<Tour> ReleaseTour() { return std::move(ownTour_); }
    bool HasFile() const { return tour_ && tour_->IsOpen(); }

    bool LockForAppend();
    void Unlock();
    // Returns true when the point was written.
    bool AddPoint(int32_t longitude, int32_t latitude, int32_t altitude, uint16_t speed,
                  bool waypoint, uint32_t extraFlags, const TrackPoint* source, bool flush);
    // A waypoint with its label and its name and description texts, written as one step so that
    // nothing falls between the point and its label. Empty texts are not stored.
    bool AddWaypoint(int32_t longitude, int32_t latitude, int32_t altitude, uint32_t extraFlags,
                     const TrackPoint* source, const char* symbol, const wchar_t* name,
                     const wchar_t* description);
    bool Flush();
    void EndSegment();
    void Close();

    TourStatistics statistics;

private:
    TourWriter() = default;
    bool OpenOrCreate(uint8_t kind);
    bool WriteNewHeader(bool atEnd, bool fileWasEmpty);
    bool StartSegment(int32_t longitude, int32_t latitude);
    void ReportWriteError();
    void SaveStatistics();
    void AdoptIntoManager(uint8_t kind);

    std::unique_ptr<Tour> ownTour_;
    Tour* tour_ = nullptr;
    TourFixSource* fix_ = nullptr;
    int64_t segmentHeader_ = 0;
    tur::Box cell_ = {0, 0, 0, 0};
    std::vector<uint8_t> buffer_;
    bool existed_ = false;
    bool writeTimeMarks_ = true;
    bool fixQualityWritten_ = false;
    std::wstring baseName_;
};

// The writer of the running recording; null when nothing records.
extern TourWriter* ActiveTourWriter;

// Writes a complete one-point POI file "<dataFolder>\POIs\<name>.TUR", replacing one of that
// name. The tour goes to the head of the Manager's POI list, or to *created without a Manager.
bool CreatePoiFile(const wchar_t* dataFolder, const wchar_t* poiName, const char* symbol,
                   const wchar_t* description, const TrackPoint& point,
                   std::unique_ptr<Tour>* created = nullptr);
