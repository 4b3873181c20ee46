#include "manager/manager.h"

#include <cwchar>

#include "maps/manager_item.h"

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

ManagerItem* Manager::FindByName(int list, const wchar_t* name) const {
    if (list < 0 || list > 2 || !name)
        return nullptr;
    for (ManagerItem* item = lists[list]; item; item = item->next) {
        if (_wcsicmp(item->name, name) == 0)
            return item;
    }
    return nullptr;
}
