// Choosing a map's projection by the name and parameters of its calibration text.
#pragma once
#include "geo/projection.h"

struct ProjectionParams {
    double p[4] = {0.0, 0.0, 0.0, 0.0}; // degrees; missing numbers stay 0
    int count = 0;                      // numbers read
};

// Up to four numbers separated by blanks or commas ("46.5,2.3").
ProjectionParams ParseProjectionParams(const char* text);

// Replaces `projection` by the class whose key the name contains (case-insensitive), handing
// over the reference points. A name matching no key, or a failed allocation, leaves it
// unchanged; returns whether it was replaced.
bool CreateProjection(Projection*& projection, const char* name, const char* parameterText);

// The key that selects the class for a name ("Mercator 1SP" -> "Mercator"); null when none.
const char* ProjectionKeyOf(const char* name);
