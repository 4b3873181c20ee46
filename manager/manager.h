// The manager root: the lists of maps, tours and POI files that the program knows.
#pragma once
#include <windows.h>

class ManagerItem;

enum ManagerList { kListMaps = 0, kListTours = 1, kListPois = 2 };

class Manager {
public:
    Manager();
    ~Manager();
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    // First scan of the search folders at start-up.
    void Init(HWND owner);
    ManagerItem* FindByPath(int list, const wchar_t* path) const;
    ManagerItem* FindByName(int list, const wchar_t* name) const;
    // A tour item for an existing ".TUR" file, added at the head of the tour list; null when
    // the file is missing.
    ManagerItem* CreateTourItem(const wchar_t* path);
    // Adds an item at the head of the list of its kind.
    void AddItemAtHead(ManagerItem* item);

    ManagerItem* lists[3];
};

// The manager root of the run; null before start-up created it and after shut-down.
extern Manager* g_managerRoot;
