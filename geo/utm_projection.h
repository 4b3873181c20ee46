// UTM maps: a similarity transform (scale and rotation) between UTM grid and picture, from the
// first two reference points.
#pragma once
#include "geo/projection.h"

class UtmProjection : public Projection {
public:
    UtmProjection();
    bool WriteParams(FILE* file) const override;
    int Setup(int width, int height) override;
};
