// User-interface state shared by the main window, the menus and the manager.
#pragma once
#include <windows.h>

#include <cstdint>

class ManagerItem;
struct TrackPoint;

class UIState {
public:
    UIState();
    UIState(const UIState&) = delete;
    UIState& operator=(const UIState&) = delete;

    void SelectTour(ManagerItem* item, int showNote);
    void SetDestinationItem(const TrackPoint* position, ManagerItem* item, int flag);

    int closePending; // the message loop destroys closeWindow when set
    HWND closeWindow;
    ManagerItem* selectedTour;
    ManagerItem* destinationItem;
    int32_t destinationLongitude; // radians x 10^8
    int32_t destinationLatitude;
    wchar_t soundPath[260];
};

UIState* GetUIState();
