#include "geo/projection_factory.h"

#include "core/truncate.h"
#include "geo/angles.h"
#include "geo/lambert_azimuthal_projection.h"
#include "geo/lambert_conformal_projection.h"
#include "geo/mercator_projection.h"
#include "geo/osm_projection.h"
#include "geo/transverse_mercator_projection.h"
#include "geo/utm_projection.h"
#include "geo/wgs84_projection.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
using Factory = Projection* (*)(const int32_t a[4]);

struct ProjectionKind {
    const char* key;
    bool keepsScales; // carries the OSM metres per pixel over
    Factory create;
};

// Tested in this order and the first match wins: "Transverse Mercator" before "Mercator", and
// a name with "UTM" in it is UTM whatever else it says. The misspelt key is the one that
// calibration files carry.
const ProjectionKind kKinds[] = {
    {"OSM", true, [](const int32_t*) -> Projection* { return new (std::nothrow) OsmProjection; }},
    {"Lambert Azimuthual Equal Area", true,
     [](const int32_t* a) -> Projection* {
         return new (std::nothrow) LambertAzimuthalProjection(a[1], a[0]);
     }},
    {"Lambert Conformal Conic", true,
     [](const int32_t* a) -> Projection* {
         return new (std::nothrow) LambertConformalProjection(a[1], a[0], a[2], a[3]);
     }},
    {"WGS84", false,
     [](const int32_t*) -> Projection* { return new (std::nothrow) Wgs84Projection; }},
    {"UTM", false, [](const int32_t*) -> Projection* { return new (std::nothrow) UtmProjection; }},
    {"Transverse Mercator", false,
     [](const int32_t* a) -> Projection* {
         return new (std::nothrow) TransverseMercatorProjection(a[1], a[0]);
     }},
    {"Mercator", false,
     [](const int32_t* a) -> Projection* {
         return new (std::nothrow) MercatorProjection(a[1], a[0], 0);
     }},
};

bool ContainsNoCase(const char* text, const char* key) {
    const size_t keyLength = std::strlen(key);
    for (const char* start = text; *start; ++start) {
        size_t i = 0;
        while (i < keyLength && start[i] &&
               std::tolower(static_cast<unsigned char>(start[i])) ==
                   std::tolower(static_cast<unsigned char>(key[i])))
            ++i;
        if (i == keyLength)
            return true;
    }
    return false;
}

const ProjectionKind* KindOf(const char* name) {
    if (!name)
        return nullptr;
    for (const ProjectionKind& kind : kKinds) {
        if (ContainsNoCase(name, kind.key))
            return &kind;
    }
    return nullptr;
}
} // namespace

ProjectionParams ParseProjectionParams(const char* text) {
    ProjectionParams params;
    if (!text)
        return params;
    const char* at = text;
    for (int i = 0; i < 4; ++i) {
        char* end = nullptr;
        const double value = std::strtod(at, &end);
        if (end == at)
            break;
        params.p[i] = value;
        params.count = i + 1;
        at = end;
        // A number must be followed by at least one blank or comma before the next one.
        const char* separators = at;
        while (*at == ' ' || *at == ',')
            ++at;
        if (at == separators)
            break;
    }
    return params;
}

const char* ProjectionKeyOf(const char* name) {
    const ProjectionKind* kind = KindOf(name);
    return kind ? kind->key : nullptr;
}

bool CreateProjection(Projection*& projection, const char* name, const char* parameterText) {
    const ProjectionParams params = ParseProjectionParams(parameterText);
    const ProjectionKind* kind = KindOf(name);
    if (!kind)
        return false;
    int32_t angles[4];
    for (int i = 0; i < 4; ++i)
        angles[i] = TruncateToInt(params.p[i] * kDegreesToAngle);
    Projection* created = kind->create(angles);
    if (!created)
        return false;
    if (projection) {
        created->SetRefPoints(projection->refPoints);
        if (kind->keepsScales) {
            created->sinRot = projection->sinRot;
            created->cosRot = projection->cosRot;
        }
        delete projection;
    }
    projection = created;
    return true;
}
