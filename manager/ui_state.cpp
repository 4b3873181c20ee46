#include "manager/ui_state.h"

UIState::UIState()
    : closePending(0), closeWindow(nullptr), selectedTour(nullptr), destinationItem(nullptr),
      destinationLongitude(0), destinationLatitude(0), soundPath{} {}

void UIState::SelectTour(ManagerItem* item, int) {
    selectedTour = item;
}

void UIState::SetDestinationItem(const TrackPoint*, ManagerItem* item, int) {
    destinationItem = item;
}

UIState* GetUIState() {
    static UIState state;
    return &state;
}
