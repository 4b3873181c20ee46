#include "manager/manager.h"

Manager* g_managerRoot = nullptr;

Manager::Manager() : lists{} {}

Manager::~Manager() = default;

void Manager::Init(HWND) {}

ManagerItem* Manager::FindByPath(int, const wchar_t*) const {
    return nullptr;
}

ManagerItem* Manager::FindByName(int, const wchar_t*) const {
    return nullptr;
}
