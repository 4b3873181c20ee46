#include "tours/tour.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

#include "core/app_settings.h"
#include "core/resource_module.h"
#include "core/time_stamp.h"
#include "platform/ui_seam.h"
#include "resources/resource.h"
#include "tours/tour_file_io.h"

const COLORREF kTourColours[kTourColourCount] = {0x0000FF, 0x000000, 0x00FFFF, 0x00FF00,
                                                 0xFFFF00, 0xFF00FF, 0xFF0000};

namespace {

constexpr uint32_t kNoPoint = 0xFFFFFFFF;
// The description is read into buffers of this many characters at most.
constexpr uint32_t kMaxTextBytes = 4096 * 2;

std::wstring LoadText(UINT id) {
    wchar_t text[256];
    LoadResString(id, text, 256);
    return text;
}

void ShowError(UINT textId, UINT captionId, const wchar_t* arg) {
    wchar_t text[600];
    swprintf(text, 600, LoadText(textId).c_str(), arg);
    UiMessageBox(nullptr, text, LoadText(captionId).c_str(), MB_OK | MB_ICONERROR);
}

HANDLE OpenShared(const wchar_t* path, DWORD access, DWORD disposition) {
    return CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Owns a handle that a method opened for itself.
struct ScopedFile {
    HANDLE h;
    ~ScopedFile() { tur::CloseFile(&h); }
};

void TodayText(wchar_t* out, size_t chars) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    swprintf(out, chars, L"%4.4d/%2.2d/%2.2d", now.wYear, now.wMonth, now.wDay);
}

bool ReadWords(HANDLE h, int64_t offset, uint32_t* words, size_t count) {
    std::vector<uint8_t> bytes(count * 4);
    if (!tur::ReadAt(h, offset, bytes.data(), bytes.size()))
        return false;
    for (size_t i = 0; i < count; ++i)
        words[i] = tur::GetU32(&bytes[i * 4]);
    return true;
}

// The 48 bytes of a label record (or 16 for a time-stamp label).
std::vector<uint8_t> LabelRecord(const char* symbol, uint32_t word, int32_t nameLink,
                                 int32_t descriptionLink) {
    const bool timeStamp = symbol && strcmp(symbol, tur::kTimeStampSymbol) == 0;
    std::vector<uint8_t> rec(timeStamp ? 16 : 48, 0);
    tur::PutU32(&rec[0], timeStamp ? tur::kLabelTimeStamp : tur::kLabelSymbol);
    tur::PutU32(&rec[4], static_cast<uint32_t>(nameLink));
    tur::PutU32(&rec[8], static_cast<uint32_t>(descriptionLink));
    tur::PutU32(&rec[12], timeStamp ? GetCurrentTimeStamp() : word);
    if (!timeStamp && symbol)
        memcpy(&rec[16], symbol, strnlen(symbol, tur::kSymbolNameBytes));
    return rec;
}

} // namespace

TourLockGuard::TourLockGuard(Tour* tour) : tour_(tour) {
    tour_->Lock();
}
TourLockGuard::~TourLockGuard() {
    tour_->Unlock();
}

Tour::Tour(const wchar_t* displayName, const wchar_t* filePath) {
    InitializeCriticalSection(&lock_);
    kind = kItemTour;
    for (TrackPoint& p : work)
        InitTrackPoint(&p);
    InitTrackPoint(&markedPoint);
    InitTrackPoint(&highlightedPoint);
    InitTrackPoint(&foundPoint);
    markedPoint.flags = highlightedPoint.flags = kNoPoint;
    if (displayName)
        ManagerItem::SetName(displayName);
    if (filePath)
        SetPath(filePath);
    TodayText(dateText, kItemDateChars);
}

Tour::~Tour() {
    CloseFile();
    DeleteCriticalSection(&lock_);
}

void Tour::CloseFile() {
    TourLockGuard guard(this);
    tur::CloseFile(&file);
}

bool Tour::OpenReadWrite(DWORD disposition) {
    TourLockGuard guard(this);
    if (file == INVALID_HANDLE_VALUE)
        file = OpenShared(path, GENERIC_READ | GENERIC_WRITE, disposition);
    return file != INVALID_HANDLE_VALUE;
}

void Tour::SetName(const wchar_t* newName) {
    Rename(newName);
}

void Tour::GetInfoText(wchar_t* buffer, size_t chars) {
    if (!buffer || chars == 0)
        return;
    int64_t size = 0;
    {
        TourLockGuard guard(this);
        ScopedFile f{OpenShared(path, GENERIC_READ, OPEN_EXISTING)};
        if (f.h != INVALID_HANDLE_VALUE)
            size = tur::FileSize(f.h);
    }
    wchar_t date[kItemDateChars + 1] = {};
    wmemcpy(date, dateText, wcsnlen(dateText, kItemDateChars));
    swprintf(buffer, chars, LoadText(IDS_TOUR_INFO).c_str(), path, date,
             static_cast<int>(size < 0 ? 0 : size));
}

// The first user entry only marks the tour as shown by a view.
void Tour::AddUser(HDC, View*) {
    users[0] = reinterpret_cast<View*>(4);
}

bool Tour::RemoveUser(View*) {
    users[0] = nullptr;
    return false;
}

bool Tour::RenameFile(const wchar_t* oldBase, const wchar_t* newBase) {
    TourLockGuard guard(this);
    tur::CloseFile(&file);
    return ManagerItem::RenameFile(oldBase, newBase);
}

void Tour::Draw(View*) {}

bool Tour::Rename(const wchar_t* newBaseName) {
    if (!newBaseName)
        return false;
    std::wstring oldPath(path, wcsnlen(path, kItemPathChars));
    size_t cut = oldPath.find_last_of(L'\\');
    std::wstring newPath =
        (cut == std::wstring::npos ? std::wstring() : oldPath.substr(0, cut + 1)) + newBaseName +
        L".TUR";
    bool moved = false;
    if (newPath.size() < kItemPathChars) {
        TourLockGuard guard(this);
        tur::CloseFile(&file);
        moved = MoveFileW(oldPath.c_str(), newPath.c_str()) != 0;
    }
    if (!moved) {
        ShowError(IDS_TOUR_RENAME_ERROR, IDS_ERROR_CAPTION, oldPath.c_str());
        return false;
    }
    SetPath(newPath.c_str());
    const std::wstring subkey =
        LoadText(IDS_TOUR_SUBKEY) + L"\\" + std::wstring(name, wcsnlen(name, kItemNameChars));
    DeleteSettingsSubkey(subkey.c_str());
    ManagerItem::SetName(newBaseName);
    if (ReadProperties(false))
        WriteProperties(true, false);
    return true;
}

bool Tour::IntersectsBox(const tur::Box& v) const {
    if (tur::IsEmptyBox(bounds))
        return true;
    return !(bounds.lonMax < v.lonMin || bounds.lonMin > v.lonMax || bounds.latMax < v.latMin ||
             bounds.latMin > v.latMax);
}

void Tour::SetColour(COLORREF colour) {
    for (int i = 0; i < kTourColourCount; ++i) {
        if (kTourColours[i] == colour) {
            colourIndex = i;
            return;
        }
    }
    colourIndex = kTourCustomColour;
    customColour = colour;
}

void Tour::NextColour() {
    if (colourIndex >= 0)
        colourIndex = (colourIndex + 1) % kTourColourCount;
}

COLORREF Tour::Colour() const {
    if (colourIndex < 0 || colourIndex >= kTourColourCount)
        return customColour;
    return kTourColours[colourIndex];
}

bool Tour::WriteProperties(bool reopen, bool withBoundsAndLink) {
    TourLockGuard guard(this);
    HANDLE h = file;
    ScopedFile own{INVALID_HANDLE_VALUE};
    if (reopen) {
        own.h = OpenShared(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
        if (own.h == INVALID_HANDLE_VALUE || !tur::SeekTo(own.h, tur::kPropertiesBlockOffset))
            return false;
        h = own.h;
    }
    if (h == INVALID_HANDLE_VALUE)
        return false;
    uint8_t rec[12 + tur::kPropertiesBytes] = {};
    tur::PutU32(&rec[0], static_cast<uint32_t>(tur::kTagDataBlock));
    tur::PutU32(&rec[8], tur::kPropertiesBytes);
    tur::PutU32(&rec[12], Colour());
    uint16_t display = storedVisible | (kind == kItemPoiFile ? tur::kDisplayPoiFile : 0);
    rec[16] = static_cast<uint8_t>(display);
    rec[17] = static_cast<uint8_t>(display >> 8);
    for (size_t i = 0; i < tur::kDateChars && i < kItemDateChars && dateText[i]; ++i) {
        rec[18 + 2 * i] = static_cast<uint8_t>(dateText[i]);
        rec[19 + 2 * i] = static_cast<uint8_t>(dateText[i] >> 8);
    }
    if (!tur::WriteAll(h, rec, sizeof(rec)))
        return false;
    if (withBoundsAndLink) {
        if (!WriteBounds(h))
            return false;
        const uint32_t link[4] = {static_cast<uint32_t>(tur::kTagLinkBlock), 0, 4,
                                  descriptionOffset};
        if (!tur::WriteWords(h, link, 4))
            return false;
    }
    return true;
}

bool Tour::WriteBounds(HANDLE h) {
    if (version < 8)
        return true;
    const uint32_t words[7] = {static_cast<uint32_t>(tur::kTagDataBlock),
                               0,
                               16,
                               static_cast<uint32_t>(bounds.lonMin),
                               static_cast<uint32_t>(bounds.latMax),
                               static_cast<uint32_t>(bounds.lonMax),
                               static_cast<uint32_t>(bounds.latMin)};
    return tur::SeekTo(h, tur::kBoundsBlockOffset) && tur::WriteWords(h, words, 7);
}

int Tour::ReadProperties(bool skipProperties) {
    TourLockGuard guard(this);
    ScopedFile f{OpenShared(path, GENERIC_READ, OPEN_EXISTING)};
    if (f.h == INVALID_HANDLE_VALUE)
        return 0;
    uint32_t head[3];
    if (!ReadWords(f.h, tur::kPropertiesBlockOffset, head, 3) ||
        static_cast<int32_t>(head[0]) != tur::kTagDataBlock || head[2] != tur::kPropertiesBytes)
        return 0;
    if (!skipProperties) {
        uint8_t rec[tur::kPropertiesBytes];
        if (!tur::ReadExact(f.h, rec, sizeof(rec)))
            return 0;
        SetColour(tur::GetU32(&rec[0]));
        uint16_t display = static_cast<uint16_t>(rec[4] | rec[5] << 8);
        SetVisible(static_cast<uint8_t>(display), true);
        if (display > 255)
            kind = kItemPoiFile;
        wchar_t date[tur::kDateChars];
        for (size_t i = 0; i < tur::kDateChars; ++i)
            date[i] = static_cast<wchar_t>(rec[6 + 2 * i] | rec[7 + 2 * i] << 8);
        wmemset(dateText, 0, kItemDateChars);
        wmemcpy(dateText, date, wcsnlen(date, kItemDateChars - 1));
    }
    int64_t next = tur::kBoundsBlockOffset;
    uint32_t words[4];
    if (ReadWords(f.h, next, words, 3) && static_cast<int32_t>(words[0]) == tur::kTagDataBlock &&
        words[2] == 16 && ReadWords(f.h, next + 12, words, 4)) {
        bounds = {static_cast<int32_t>(words[0]), static_cast<int32_t>(words[1]),
                  static_cast<int32_t>(words[2]), static_cast<int32_t>(words[3])};
        next += 28;
    }
    // Files before version 8 have their link block where the bounds block would be.
    if (ReadWords(f.h, next, words, 4) && static_cast<int32_t>(words[0]) == tur::kTagLinkBlock &&
        words[2] == 4)
        descriptionOffset = words[3];
    return 1;
}

bool Tour::WriteDescription(const wchar_t* text) {
    if (!text)
        return false;
    TourLockGuard guard(this);
    const bool wasOpen = IsOpen();
    if (!OpenReadWrite())
        return false;
    bool ok = false;
    uint32_t link[3];
    if (ReadWords(file, tur::kLinkBlockOffset, link, 3) &&
        static_cast<int32_t>(link[0]) == tur::kTagLinkBlock) {
        int64_t size = tur::FileSize(file);
        size_t chars = wcslen(text);
        if (size > 0 && size < INT32_MAX && tur::TextBlockBytes(chars) <= kMaxTextBytes) {
            const uint32_t at = static_cast<uint32_t>(size);
            uint8_t word[4];
            tur::PutU32(word, at);
            const uint32_t bytes = tur::TextBlockBytes(chars);
            std::vector<uint8_t> block(12 + bytes, 0);
            tur::PutU32(&block[0], static_cast<uint32_t>(tur::kTagDataBlock));
            tur::PutU32(&block[8], bytes);
            for (size_t i = 0; i < chars; ++i) {
                block[12 + 2 * i] = static_cast<uint8_t>(text[i]);
                block[13 + 2 * i] = static_cast<uint8_t>(text[i] >> 8);
            }
            // The block goes first, so the link never points past the end of the file.
            ok = tur::WriteAt(file, at, block.data(), block.size()) &&
                 tur::WriteAt(file, tur::kDescriptionLinkOffset, word, 4);
            if (ok)
                descriptionOffset = at;
            FlushFileBuffers(file);
        }
    }
    if (!wasOpen)
        tur::CloseFile(&file);
    return ok;
}

bool Tour::ReadDescription(wchar_t* out, size_t chars) {
    if (!out || chars == 0)
        return false;
    out[0] = L'\0';
    TourLockGuard guard(this);
    ScopedFile f{OpenShared(path, GENERIC_READ, OPEN_EXISTING)};
    if (f.h == INVALID_HANDLE_VALUE)
        return false;
    const int64_t size = tur::FileSize(f.h);
    uint32_t link[4], head[3];
    if (!ReadWords(f.h, tur::kLinkBlockOffset, link, 4) ||
        static_cast<int32_t>(link[0]) != tur::kTagLinkBlock)
        return false;
    if (link[3] == 0)
        return true;
    if (int64_t{link[3]} + 12 > size || !ReadWords(f.h, link[3], head, 3) ||
        static_cast<int32_t>(head[0]) != tur::kTagDataBlock)
        return false;
    int64_t bytes = std::min<int64_t>({head[2], size - link[3] - 12, int64_t((chars - 1) * 2)});
    std::vector<uint8_t> raw(static_cast<size_t>(bytes));
    if (!tur::ReadExact(f.h, raw.data(), raw.size()))
        return false;
    size_t n = raw.size() / 2;
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<wchar_t>(raw[2 * i] | raw[2 * i + 1] << 8);
    out[n] = L'\0';
    return true;
}

bool Tour::AppendLabel(const char* symbol, uint32_t word, int32_t nameLink,
                       int32_t descriptionLink) {
    TourLockGuard guard(this);
    if (!IsOpen())
        return false;
    std::vector<uint8_t> rec = LabelRecord(symbol, word, nameLink, descriptionLink);
    bool ok = tur::WriteAll(file, rec.data(), rec.size());
    FlushFileBuffers(file);
    return ok;
}

int32_t Tour::AppendTextBlock(int32_t tag, int64_t pointOffset, const wchar_t* text) {
    TourLockGuard guard(this);
    if (!IsOpen() || !text || (tag != tur::kTagDataBlock && tag != tur::kTagLinkBlock))
        return 0;
    const int64_t pos = tur::Tell(file);
    if (!tur::SeekToEnd(file))
        return 0;
    const int64_t at = tur::Tell(file);
    const size_t chars = wcslen(text);
    const uint32_t bytes = tur::TextBlockBytes(chars);
    if (at < 0 || at - pointOffset > INT32_MAX || bytes > kMaxTextBytes)
        return 0;
    const int32_t link = static_cast<int32_t>(at - pointOffset);
    std::vector<uint8_t> block(12 + bytes, 0);
    tur::PutU32(&block[0], static_cast<uint32_t>(tag));
    tur::PutU32(&block[4], static_cast<uint32_t>(link));
    tur::PutU32(&block[8], bytes);
    for (size_t i = 0; i < chars; ++i) {
        block[12 + 2 * i] = static_cast<uint8_t>(text[i]);
        block[13 + 2 * i] = static_cast<uint8_t>(text[i] >> 8);
    }
    bool ok = tur::WriteAll(file, block.data(), block.size());
    if (pos >= 0)
        tur::SeekTo(file, pos);
    return ok ? link : 0;
}

bool Tour::InsertLabelAfter(int64_t pointOffset, const char* symbol) {
    TourLockGuard guard(this);
    if (!IsOpen())
        return false;
    const int64_t pos = tur::Tell(file);
    const int64_t size = tur::FileSize(file);
    uint32_t w[9];
    if (size < 0 || pointOffset < 0 || pointOffset + 36 > size ||
        !ReadWords(file, pointOffset, w, 9))
        return false;
    if ((static_cast<int32_t>(w[0]) >= tur::kTagRelocated && static_cast<int32_t>(w[0]) < 0) ||
        tur::IsDeleted(w[0]))
        return false; // not a live point
    uint32_t zoneWord = w[7];
    if (w[0] & tur::kFlagRelocated) {
        // Relocated before: the zone word lives in the old copy.
        uint32_t old[9];
        if (pointOffset + w[7] + 36 <= size && ReadWords(file, pointOffset + w[7], old, 9))
            zoneWord = old[7];
    }
    const uint32_t distance = static_cast<uint32_t>(size - pointOffset);
    uint32_t patched[9];
    memcpy(patched, w, sizeof(w));
    patched[0] |= tur::kFlagRelocated;
    patched[7] = distance;
    uint32_t copy[9];
    memcpy(copy, w, sizeof(w));
    copy[0] = static_cast<uint32_t>(tur::kTagRelocated);
    copy[7] = zoneWord;
    // The copy and its label go first: a point never refers to a copy that is not there.
    bool ok = tur::SeekTo(file, size) && tur::WriteWords(file, copy, 9) &&
              AppendLabel(symbol, distance, 0, 0) && tur::SeekTo(file, pointOffset) &&
              tur::WriteWords(file, patched, 9);
    if (pos >= 0)
        tur::SeekTo(file, pos);
    FlushFileBuffers(file);
    return ok;
}

bool Tour::DeletePoint(int64_t pointOffset) {
    TourLockGuard guard(this);
    tur::CloseFile(&file);
    ScopedFile f{OpenShared(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING)};
    uint32_t w0;
    if (f.h == INVALID_HANDLE_VALUE || !ReadWords(f.h, pointOffset, &w0, 1))
        return false;
    const int32_t tag = static_cast<int32_t>(w0);
    if (tag < 0 && tag > tur::kTagRelocated)
        return false; // a record tag, not a point: marking it would break the stream
    uint32_t mark =
        tag == tur::kTagRelocated ? tur::kDeletedCopy : ((w0 & 0x60000000) | tur::kDeletedMark);
    uint8_t bytes[4];
    tur::PutU32(bytes, mark);
    return tur::WriteAt(f.h, pointOffset, bytes, 4);
}

bool Tour::DeleteWaypoint(int64_t recordOffset) {
    TourLockGuard guard(this);
    tur::CloseFile(&file);
    ScopedFile f{OpenShared(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING)};
    uint32_t header;
    if (f.h == INVALID_HANDLE_VALUE || !ReadWords(f.h, recordOffset, &header, 1))
        return false;
    uint8_t bytes[4];
    tur::PutU32(bytes, header | tur::kWaypointDeleted);
    return tur::WriteAt(f.h, recordOffset, bytes, 4);
}

bool Tour::IsMarkedPoint(const TrackPoint& p) const {
    return markedPoint.flags != kNoPoint && markedPoint.longitude == p.longitude &&
           markedPoint.latitude == p.latitude;
}

void Tour::ToggleMarkedPoint(const TrackPoint& p) {
    if (IsMarkedPoint(p)) {
        markedPoint.flags = kNoPoint;
        return;
    }
    markedPoint = p;
    markedPoint.flags = 1;
}

std::wstring MakeTourFileName(const wchar_t* prefix, const wchar_t* suffix) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    const wchar_t* pre = prefix ? prefix : L"";
    const wchar_t* suf = suffix ? suffix : L"";
    wchar_t out[kItemPathChars];
    if (_wcsnicmp(pre, L"POI", 3) == 0)
        swprintf(out, kItemPathChars, L"%ls%4.4d-%2.2d-%2.2d_%2.2d-%2.2d-%2.2d%ls", pre, t.wYear,
                 t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, suf);
    else
        swprintf(out, kItemPathChars, L"%ls%4.4d-%2.2d-%2.2d_%2.2d-%2.2d%ls", pre, t.wYear,
                 t.wMonth, t.wDay, t.wHour, t.wMinute, suf);
    return out;
}
