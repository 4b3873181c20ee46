// The base of every item that the Manager lists: maps, tours, POI files and the world outline.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>

class View;
struct ViewPosition;

// The kind is also the index of the Manager list that holds the item (maps, tours, POI files).
enum : uint8_t {
    kItemMap = 0,
    kItemTour = 1,
    kItemPoiFile = 2,
    kItemWorldMap = 7,
};

// Bits of ManagerItem::flags.
enum : uint8_t {
    kItemFlagFromFolder = 0x01, // with kItemFlagTileServer: a tile map read from a scanned folder
    kItemFlagCalibrating = 0x08,
    kItemFlagTileServer = 0x10,
    kItemFlagFlaggedProfile = 0x20, // a tour shown with the flagged profile
};

constexpr size_t kItemNameChars = 260;
constexpr size_t kItemDateChars = 20;
constexpr size_t kItemPathChars = 260;

class ManagerItem {
public:
    ManagerItem();
    virtual ~ManagerItem();
    ManagerItem(const ManagerItem&) = delete;
    ManagerItem& operator=(const ManagerItem&) = delete;

    virtual void SetVisible(uint8_t value, bool alsoStored);
    virtual int32_t GetScale();
    virtual void SetName(const wchar_t* name);
    // Writes the item's properties text, zero-terminated, into at most `chars` characters.
    virtual void GetInfoText(wchar_t* buffer, size_t chars) = 0;
    virtual void AddUser(HDC context, View* user);
    // True when no user is left.
    virtual bool RemoveUser(View* user);
    virtual void ClearUsers();
    virtual bool HasUser(View* user);
    virtual bool IsInUse();
    // Moves the item's file from below oldBase to the same place below the folder of newBase;
    // the item's path follows only when the move succeeded.
    virtual bool RenameFile(const wchar_t* oldBase, const wchar_t* newBase);
    virtual int32_t ScaleOffset(int32_t scale);
    virtual void Draw(View* view) = 0;
    virtual bool IsChart();
    // Coverage of the view by the item at that scale; 0.0 when it does not cover it.
    virtual double IsInView(View* view, const ViewPosition* position, int32_t scale, int which);

    // Bounded setters: a text longer than the field is cut, never overruns it.
    void SetPath(const wchar_t* path);
    void SetDateText(const wchar_t* text);

    View* users[2];
    int32_t nativeScale = 0; // scale denominator at which a map shows its pixels one to one
    uint8_t kind = 0;
    uint8_t flags;
    wchar_t name[kItemNameChars] = {};
    wchar_t dateText[kItemDateChars] = {}; // "yyyy/mm/dd"
    wchar_t path[kItemPathChars] = {};
    // Longitude and latitude (radians x 10^8) of the map's pixel (0, 0), then of its pixel
    // (width, height).
    int32_t coverage[4] = {};
    int32_t rerenderPermitted; // while 0 a tiled map draws only what it already holds
    int32_t opened;
    int32_t reserved;
    ManagerItem* previous;
    ManagerItem* next;
    uint8_t visible;
    uint8_t storedVisible; // the visibility written back to the item's file
};

// The label of an item in the Manager's tree: "|folder|" (left out for a tile map that was not
// read from a folder), "*" when marked, then the display name; backslashes become "|".
// Returns false when the label does not fit into `chars` characters (the output is then cut).
bool FormatItemFolderLabel(const ManagerItem* item, wchar_t* out, size_t chars, bool mark);
