#include "manager/manager.h"

#include <cwchar>
#include <string>

#include "maps/manager_item.h"
#include "tours/tour.h"

Manager* g_managerRoot = nullptr;

Manager::Manager() : lists{} {}

Manager::~Manager() {
    for (ManagerItem*& head : lists) {
        while (head) {
            ManagerItem* next = head->next;
            delete head;
            head = next;
        }
    }
}

void Manager::Init(HWND) {}

ManagerItem* Manager::FindByPath(int list, const wchar_t* path) const {
    if (list < 0 || list > 2 || !path)
        return nullptr;
    for (ManagerItem* item = lists[list]; item; item = item->next) {
        if (_wcsicmp(item->path, path) == 0)
            return item;
    }
    return nullptr;
}

void Manager::AddItemAtHead(ManagerItem* item) {
    if (!item || item->kind > 2)
        return;
    ManagerItem*& head = lists[item->kind];
    item->previous = nullptr;
    item->next = head;
    if (head)
        head->previous = item;
    head = item;
}

ManagerItem* Manager::CreateTourItem(const wchar_t* path) {
    if (!path || !*path)
        return nullptr;
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return nullptr;
    const wchar_t* slash = wcsrchr(path, L'\\');
    std::wstring name = slash ? slash + 1 : path;
    size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos)
        name.resize(dot);
    auto* tour = new Tour(name.c_str(), path);
    tour->kind = kItemTour;
    AddItemAtHead(tour);
    return tour;
}

ManagerItem* Manager::FindByName(int list, const wchar_t* name) const {
    if (list < 0 || list > 2 || !name)
        return nullptr;
    for (ManagerItem* item = lists[list]; item; item = item->next) {
        if (_wcsicmp(item->name, name) == 0)
            return item;
    }
    return nullptr;
}
