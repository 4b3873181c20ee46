#include "tours/tour_writer.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "core/app_settings.h"
#include "core/device_profile.h"
#include "core/resource_module.h"
#include "core/time_stamp.h"
#include "manager/manager.h"
#include "platform/clock.h"
#include "platform/ui_seam.h"
#include "resources/resource.h"
#include "tours/standins.h"
#include "tours/tour_file_io.h"
#include "tours/tour_segment_repair.h"

TourWriter* ActiveTourWriter = nullptr;

namespace {

constexpr size_t kBufferBytes = 4096;
constexpr size_t kPointBytes = 36;
// Time marks are written at most this often (seconds by the clock, not by point times).
constexpr uint32_t kTimeMarkInterval = 600;
// The file buffers reach the medium and the statistics the registry every this many points.
constexpr uint32_t kSaveEvery = 25;

// Program-wide, shared by all writers.
uint32_t g_lastTimeMark = 0;

std::wstring LoadText(UINT id) {
    wchar_t text[256];
    LoadResString(id, text, 256);
    return text;
}

void ShowWriteError(const wchar_t* path) {
    wchar_t text[600];
    swprintf(text, 600, LoadText(IDS_TOUR_WRITE_ERROR).c_str(), path);
    UiMessageBox(nullptr, text, LoadText(IDS_TOUR_FILE_CAPTION).c_str(), MB_OK | MB_ICONERROR);
}

void AppendWords(std::vector<uint8_t>* buffer, const uint32_t* words, size_t count) {
    const size_t at = buffer->size();
    buffer->resize(at + count * 4);
    for (size_t i = 0; i < count; ++i)
        tur::PutU32(&(*buffer)[at + i * 4], words[i]);
}

bool HasTurExtension(const std::wstring& path) {
    size_t dot = path.find_last_of(L'.');
    size_t sep = path.find_last_of(L"\\/");
    return dot != std::wstring::npos && (sep == std::wstring::npos || dot > sep) &&
           _wcsicmp(path.c_str() + dot + 1, L"TUR") == 0;
}

std::wstring WithoutExtension(const std::wstring& path) {
    size_t dot = path.find_last_of(L'.');
    size_t sep = path.find_last_of(L"\\/");
    if (dot == std::wstring::npos || (sep != std::wstring::npos && dot < sep))
        return path;
    return path.substr(0, dot);
}

std::wstring FileTitle(const std::wstring& base) {
    size_t sep = base.find_last_of(L'\\');
    return sep == std::wstring::npos ? base : base.substr(sep + 1);
}

void CreateFolders(const std::wstring& filePath) {
    for (size_t i = 1; i < filePath.size(); ++i) {
        if (filePath[i] == L'\\' && filePath[i - 1] != L':')
            CreateDirectoryW(filePath.substr(0, i).c_str(), nullptr);
    }
}

void DateTimeText(wchar_t* out, size_t chars) {
    SYSTEMTIME t;
    PlatformGetLocalTime(&t);
    swprintf(out, chars, L"%4.4d/%2.2d/%2.2d %2.2d:%2.2d:%2.2d", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond);
}

void LinkAtHead(Manager* manager, int list, Tour* tour) {
    tour->previous = nullptr;
    tour->next = manager->lists[list];
    if (tour->next)
        tour->next->previous = tour;
    manager->lists[list] = tour;
}

} // namespace

// A tour the Manager already lists takes over the new file handle; otherwise the new tour is
// listed at the head. Without a Manager the writer keeps its tour.
void TourWriter::AdoptIntoManager(uint8_t kind) {
    Manager* manager = g_managerRoot;
    const int list = kind == kItemPoiFile ? kListPois : kListTours;
    if (!manager || !ownTour_ || (kind != kItemTour && kind != kItemPoiFile))
        return;
    Tour* listed = dynamic_cast<Tour*>(manager->FindByPath(list, ownTour_->path));
    if (listed && listed != ownTour_.get()) {
        TourLockGuard guard(listed);
        listed->CloseFile();
        listed->file = ownTour_->file;
        listed->version = ownTour_->version;
        listed->bounds = ownTour_->bounds;
        ownTour_->file = INVALID_HANDLE_VALUE;
        ownTour_.reset();
        tour_ = listed;
        return;
    }
    LinkAtHead(manager, list, ownTour_.get());
    ownTour_.release();
}

TourWriter::TourWriter(TourFixSource* fix, const wchar_t* path, int colourIndex, uint8_t kind,
                       bool skipExistenceCheck)
    : fix_(fix) {
    buffer_.reserve(kBufferBytes);
    const std::wstring given = path ? path : L"";
    if (!skipExistenceCheck && HasTurExtension(given))
        existed_ = GetFileAttributesW(given.c_str()) != INVALID_FILE_ATTRIBUTES;
    baseName_ = WithoutExtension(given);
    ownTour_ = std::make_unique<Tour>();
    tour_ = ownTour_.get();
    tour_->kind = kind;
    if (existed_) {
        tour_->SetPath(given.c_str());
        if (!tour_->ReadProperties(false))
            tour_->kind = kind;
    }
    if (colourIndex >= 0 && colourIndex < kTourColourCount)
        tour_->colourIndex = colourIndex;
    if (!OpenOrCreate(kind)) {
        tour_->ManagerItem::SetName(L"&error");
        ShowWriteError(tour_->path);
        return;
    }
    AdoptIntoManager(tour_->kind);
}

bool TourWriter::OpenOrCreate(uint8_t) {
    if (fix_) {
        wchar_t current[kItemPathChars];
        TourState state;
        ReadCurrentTourState(current, kItemPathChars, &state);
        // The named tour keeps its folder: a bare file name would land in the working folder.
        if (current[0])
            baseName_ = current;
        if (!current[0] && baseName_.empty())
            return true; // nothing to record into
        statistics.active = 1;
        statistics.startTime = state.duration ? state.duration : GetCurrentTimeStamp();
        statistics.distance = state.distance;
        statistics.pointCounter = state.tourPoint;
        statistics.path = baseName_;
    } else {
        statistics.path = baseName_;
        statistics.startTime = GetCurrentTimeStamp();
    }
    const std::wstring tourPath = baseName_ + L".TUR";
    if (tourPath.size() >= kItemPathChars)
        return false;
    tour_->SetPath(tourPath.c_str());
    TourLockGuard guard(tour_);
    bool fresh = true;
    if (!fix_) {
        // Imports and plans always write a file of their own; appending to an existing file
        // would leave every point refused while the import reports success.
        CreateFolders(tourPath);
        tour_->CloseFile();
        tour_->file = CreateFileW(tourPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (!tour_->IsOpen())
            return false;
    } else {
        if (!LockForAppend())
            return false;
        fresh = tur::FileSize(tour_->file) == 0;
    }
    wchar_t now[32];
    DateTimeText(now, 32);
    tour_->SetDateText(now);
    tour_->ManagerItem::SetName(FileTitle(baseName_).c_str());
    tour_->SetVisible(1, true);
    tour_->users[0] = reinterpret_cast<View*>(4);
    tour_->next = nullptr;
    bool ok = true;
    if (fresh)
        ok = WriteNewHeader(fix_ != nullptr, tur::FileSize(tour_->file) == 0);
    if (fix_)
        Unlock(); // a recording opens the file around each step
    return ok;
}

bool TourWriter::WriteNewHeader(bool atEnd, bool fileWasEmpty) {
    TourLockGuard guard(tour_);
    HANDLE h = tour_->file;
    if (atEnd)
        tur::SeekToEnd(h);
    const uint32_t start[2] = {static_cast<uint32_t>(tur::kTagFileStart), GetCurrentTimeStamp()};
    bool ok = tur::WriteWords(h, start, 2);
    if (ok && !fileWasEmpty) {
        tour_->ReadProperties(false);
        tur::SeekToEnd(h);
    } else if (ok) {
        tour_->version = tur::kVersion;
        ok = tour_->WriteProperties(false, true);
    }
    const uint32_t version[2] = {static_cast<uint32_t>(tur::kTagVersion), tur::kVersion};
    ok = ok && tur::WriteWords(h, version, 2);
    FlushFileBuffers(h);
    return ok;
}

std::unique_ptr<TourWriter> TourWriter::ForTour(TourFixSource* fix, Tour* tour) {
    std::unique_ptr<TourWriter> w(new TourWriter());
    w->buffer_.reserve(kBufferBytes);
    w->fix_ = fix;
    w->tour_ = tour;
    if (!tour)
        return w;
    const std::wstring path(tour->path, wcsnlen(tour->path, kItemPathChars));
    w->baseName_ = WithoutExtension(path);
    w->statistics.path = w->baseName_;
    w->statistics.startTime = GetCurrentTimeStamp();
    // A recording cut off mid-write may have left half a record at the end: appending after it
    // would hide everything that follows, so the file is repaired before it grows.
    if (GetFileAttributesW(tour->path) != INVALID_FILE_ATTRIBUTES)
        TourSegmentRepair repair(tour);
    // The bounds on disk are widened, never replaced by those of the new points alone.
    tour->ReadProperties(true);
    TourLockGuard guard(tour);
    tour->CloseFile();
    tour->file =
        CreateFileW(tour->path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!tour->IsOpen()) {
        ShowWriteError(tour->path);
        return w;
    }
    const bool empty = tur::FileSize(tour->file) == 0;
    bool ok;
    if (empty) {
        ok = w->WriteNewHeader(false, true);
    } else {
        tur::SeekToEnd(tour->file);
        const uint32_t words[4] = {static_cast<uint32_t>(tur::kTagFileStart), GetCurrentTimeStamp(),
                                   static_cast<uint32_t>(tur::kTagVersion), tur::kVersion};
        ok = tur::WriteWords(tour->file, words, 4);
        FlushFileBuffers(tour->file);
    }
    if (!ok)
        ShowWriteError(tour->path);
    if (fix) {
        // Resume the statistics only when they belong to this tour.
        wchar_t current[kItemPathChars];
        TourState state;
        ReadCurrentTourState(current, kItemPathChars, &state);
        if (current[0] && _wcsicmp(current, w->baseName_.c_str()) == 0) {
            w->statistics.pointCounter = state.tourPoint;
            w->statistics.distance = state.distance;
            if (state.duration)
                w->statistics.startTime = state.duration;
        }
    }
    w->statistics.active = 1;
    return w;
}

TourWriter::~TourWriter() {
    if (ActiveTourWriter == this)
        ActiveTourWriter = nullptr;
    Close();
}

bool TourWriter::LockForAppend() {
    if (!tour_)
        return false;
    tour_->Lock();
    tour_->CloseFile();
    tour_->file =
        CreateFileW(tour_->path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!tour_->IsOpen() || !tur::SeekToEnd(tour_->file)) {
        tour_->CloseFile();
        tour_->Unlock();
        return false;
    }
    return true;
}

void TourWriter::Unlock() {
    if (!tour_)
        return;
    tour_->CloseFile();
    tour_->Unlock();
}

void TourWriter::ReportWriteError() {
    ShowWriteError(tour_->path);
}

bool TourWriter::Flush() {
    if (buffer_.empty() || !tour_)
        return true;
    TourLockGuard guard(tour_);
    bool ok = false;
    if (tour_->IsOpen()) {
        const int64_t before = tur::Tell(tour_->file);
        DWORD put = 0;
        ok = ::WriteFile(tour_->file, buffer_.data(), static_cast<DWORD>(buffer_.size()), &put,
                         nullptr) &&
             put == buffer_.size();
        // A part of a record would misalign everything appended after it: take it back.
        if (!ok && put > 0 && before >= 0 && tur::SeekTo(tour_->file, before))
            SetEndOfFile(tour_->file);
    }
    if (!ok)
        ReportWriteError();
    buffer_.clear();
    return ok;
}

bool TourWriter::StartSegment(int32_t longitude, int32_t latitude) {
    HANDLE h = tour_->file;
    if (!Flush())
        return false;
    if (segmentHeader_ != 0) {
        const int64_t end = tur::FileSize(h);
        uint8_t length[4];
        tur::PutU32(length, static_cast<uint32_t>(end - segmentHeader_ - tur::kSegmentHeaderBytes));
        tur::WriteAt(h, segmentHeader_ + tur::kSegmentLengthOffset, length, 4);
    }
    cell_ = tur::CellOf(longitude, latitude);
    tur::Widen(&tour_->bounds, cell_);
    if (!tur::SeekToEnd(h))
        return false;
    segmentHeader_ = tur::Tell(h);
    const uint32_t header[6] = {
        static_cast<uint32_t>(tur::kTagSegment), static_cast<uint32_t>(cell_.lonMin),
        static_cast<uint32_t>(cell_.latMax),     static_cast<uint32_t>(cell_.lonMax),
        static_cast<uint32_t>(cell_.latMin),     0};
    bool ok = tur::WriteWords(h, header, 6);
    tour_->WriteBounds(h);
    return tur::SeekToEnd(h) && ok;
}

bool TourWriter::AddPoint(int32_t longitude, int32_t latitude, int32_t altitude, uint16_t speed,
                          bool waypoint, uint32_t extraFlags, const TrackPoint* source,
                          bool flush) {
    if (!tour_ || !tour_->IsOpen())
        return false;
    if (source) {
        longitude = source->longitude;
        latitude = source->latitude;
    }
    if (longitude == 0 && latitude == 0 && !waypoint)
        return false;
    TourLockGuard guard(tour_);
    if (!tour_->IsOpen())
        return false;
    if (segmentHeader_ == 0 || !tur::Contains(cell_, longitude, latitude))
        StartSegment(longitude, latitude);

    TrackPoint p{};
    p.flags = (statistics.pointCounter & tur::kPointNumberMask) |
              (waypoint ? tur::kFlagWaypoint : 0) | extraFlags;
    p.longitude = longitude;
    p.latitude = latitude;
    const uint32_t now = GetCurrentTimeStamp();
    TourFix fix;
    if (fix_)
        fix = fix_->CurrentFix();
    if (source) {
        p.altitude = source->altitude;
        p.speed = source->speed;
        p.satellites = source->satellites;
        p.time = source->time;
        p.fixMode = 3;
    } else {
        p.altitude = altitude;
        p.speed = speed;
        p.time = now;
        if (fix_) {
            p.fixMode = fix.fixMode;
            p.satellites = fix.satellites;
            if (fix.satellites == 0)
                p.flags |= tur::kFlagNoSatellites;
        }
    }
    tur::FillUtm(&p);
    uint32_t words[9];
    tur::PointToWords(p, words);
    AppendWords(&buffer_, words, 9);
    if (flush || kBufferBytes - buffer_.size() <= kPointBytes)
        Flush();

    // Nothing may come between a waypoint and its label, which the caller writes next.
    if (!waypoint) {
        if (writeTimeMarks_ && now > g_lastTimeMark + kTimeMarkInterval) {
            Flush();
            g_lastTimeMark = now;
            const uint32_t mark[2] = {static_cast<uint32_t>(tur::kTagTimeMark), now};
            AppendWords(&buffer_, mark, 2);
            Flush();
            tours_standin::TimeRecordWord() = 1;
        }
        if (fix_ && !fixQualityWritten_) {
            fixQualityWritten_ = true;
            const uint32_t quality[2] = {static_cast<uint32_t>(tur::kTagFixQuality), fix.quality};
            AppendWords(&buffer_, quality, 2);
            Flush();
        }
    }
    // A recording keeps at most 25 points at risk; an import still has its source, and forcing
    // its file to the medium this often would make large imports crawl.
    if (fix_ && statistics.pointCounter % kSaveEvery == 0) {
        Flush();
        FlushFileBuffers(tour_->file);
        SaveStatistics();
    }
    ++statistics.pointCounter;
    return true;
}

// Only a recording resumes from the registry; imports and plans leave its state alone.
void TourWriter::SaveStatistics() {
    if (!fix_)
        return;
    TourState state;
    state.tourPoint = statistics.pointCounter;
    state.duration = statistics.startTime;
    state.distance = statistics.distance;
    SaveTourState(&state);
}

bool TourWriter::AddWaypoint(int32_t longitude, int32_t latitude, int32_t altitude,
                             uint32_t extraFlags, const TrackPoint* source, const char* symbol,
                             const wchar_t* name, const wchar_t* description) {
    if (!tour_)
        return false;
    TourLockGuard guard(tour_);
    if (!AddPoint(longitude, latitude, altitude, 0, true, extraFlags, source, true))
        return false;
    const int64_t point = tur::Tell(tour_->file) - static_cast<int64_t>(kPointBytes);
    if (!tour_->AppendLabel(symbol, 0, 0, 0))
        return false;
    const int32_t texts[2] = {tur::kTagDataBlock, tur::kTagLinkBlock};
    const wchar_t* values[2] = {name, description};
    for (int i = 0; i < 2; ++i) {
        if (!values[i] || !values[i][0])
            continue;
        const int32_t link = tour_->AppendTextBlock(texts[i], point, values[i]);
        uint8_t bytes[4];
        tur::PutU32(bytes, static_cast<uint32_t>(link));
        if (link == 0 || !tur::WriteAt(tour_->file, point + 40 + 4 * i, bytes, 4))
            return false;
    }
    tur::SeekToEnd(tour_->file);
    FlushFileBuffers(tour_->file);
    return true;
}

void TourWriter::EndSegment() {
    Flush();
    if (fix_ && !GetDeviceProfile()->tour_pause() && LockForAppend()) {
        const TourFix fix = fix_->CurrentFix();
        AddPoint(fix.longitude, fix.latitude, fix.altitude,
                 static_cast<uint16_t>(fix.speed * 36 / 100), false, 0, nullptr, true);
        const uint32_t now = GetCurrentTimeStamp();
        const uint32_t end[4] = {static_cast<uint32_t>(tur::kTagSegmentEnd), statistics.distance,
                                 now - statistics.startTime, now};
        AppendWords(&buffer_, end, 4);
        Flush();
        Unlock();
    }
    statistics.active = 0;
    if (fix_) {
        statistics.path.clear();
        SaveCurrentTour(L"", nullptr);
    }
}

void TourWriter::Close() {
    // Buffered points are the user's data: they go to the file before it closes.
    if (tour_ && tour_->IsOpen())
        Flush();
    if (tour_)
        tour_->CloseFile();
    buffer_.clear();
    buffer_.shrink_to_fit();
}

bool CreatePoiFile(const wchar_t* dataFolder, const wchar_t* poiName, const char* symbol,
                   const wchar_t* description, const TrackPoint& point,
                   std::unique_ptr<Tour>* created) {
    const std::wstring folder = std::wstring(dataFolder ? dataFolder : L"") + L"\\POIs\\";
    const std::wstring path = folder + (poiName ? poiName : L"") + L".TUR";
    if (path.size() >= kItemPathChars) {
        ShowWriteError(path.c_str());
        return false;
    }
    CreateFolders(folder);
    auto tour = std::make_unique<Tour>(poiName, path.c_str());
    tour->kind = kItemPoiFile;
    tour->SetVisible(1, true);
    TourLockGuard guard(tour.get());
    // A POI of that name is written anew from its start.
    tour->file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!tour->IsOpen()) {
        wchar_t text[600];
        swprintf(text, 600, L"Error creating POI %ls!", path.c_str());
        wchar_t caption[64];
        LoadResString(IDS_ERROR_CAPTION, caption, 64);
        UiMessageBox(nullptr, text, caption, MB_OK | MB_ICONERROR);
        return false;
    }
    const uint32_t now = GetCurrentTimeStamp();
    const uint32_t start[2] = {static_cast<uint32_t>(tur::kTagFileStart), now};
    const uint32_t version[2] = {static_cast<uint32_t>(tur::kTagVersion), tur::kVersion};
    const tur::Box cell = tur::CellOf(point.longitude, point.latitude);
    const uint32_t segment[6] = {
        static_cast<uint32_t>(tur::kTagSegment), static_cast<uint32_t>(cell.lonMin),
        static_cast<uint32_t>(cell.latMax),      static_cast<uint32_t>(cell.lonMax),
        static_cast<uint32_t>(cell.latMin),      0};
    bool ok = tur::WriteWords(tour->file, start, 2) && tour->WriteProperties(false, true) &&
              tur::WriteWords(tour->file, version, 2) && tur::WriteWords(tour->file, segment, 6);
    TrackPoint p = point;
    tur::FillUtm(&p);
    p.time = now;
    p.flags |= tur::kPoiPointFlags;
    const int64_t at = tur::Tell(tour->file);
    uint32_t words[9];
    tur::PointToWords(p, words);
    ok = ok && tur::WriteWords(tour->file, words, 9) && tour->AppendLabel(symbol, 0, 0, 0);
    const int32_t texts[2] = {tur::kTagDataBlock, tur::kTagLinkBlock};
    const wchar_t* values[2] = {poiName, description};
    for (int i = 0; ok && i < 2; ++i) {
        if (!values[i])
            continue;
        const int32_t link = tour->AppendTextBlock(texts[i], at, values[i]);
        uint8_t bytes[4];
        tur::PutU32(bytes, static_cast<uint32_t>(link));
        ok = link != 0 && tur::WriteAt(tour->file, at + 40 + 4 * i, bytes, 4);
    }
    tour->CloseFile();
    if (!ok) {
        ShowWriteError(path.c_str());
        return false;
    }
    if (g_managerRoot) {
        LinkAtHead(g_managerRoot, kListPois, tour.release()); // the Manager owns it now
    } else if (created) {
        *created = std::move(tour);
    }
    return true;
}
