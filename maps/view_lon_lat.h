// Flat-rule screen column and row of a longitude or latitude relative to a view's centre and
// scale, in integer arithmetic (one screen pixel spans scale / 279 units of 10^-8 radian).
#pragma once
#include <cstdint>

class TrackingView;

int16_t ViewLonToX(const TrackingView* view, int32_t longitude);
int16_t ViewLatToY(const TrackingView* view, int32_t latitude);
