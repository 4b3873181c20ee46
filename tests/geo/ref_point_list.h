// Builds reference-point lists for the projection tests and frees whatever list the projection
// ends up with (it may reorder the nodes and delete duplicates).
#pragma once
#include "geo/angles.h"
#include "geo/projection.h"

#include <initializer_list>

struct RefSpec {
    int x, y;
    double lonDegrees, latDegrees;
};

inline RefPoint* MakeRefList(std::initializer_list<RefSpec> specs) {
    RefPoint* head = nullptr;
    RefPoint** link = &head;
    for (const RefSpec& s : specs) {
        RefPoint* p = new RefPoint;
        p->x = s.x;
        p->y = s.y;
        p->longitude = static_cast<int32_t>(s.lonDegrees * kDegreesToAngle);
        p->latitude = static_cast<int32_t>(s.latDegrees * kDegreesToAngle);
        *link = p;
        link = &p->next;
    }
    return head;
}

inline void FreeRefList(RefPoint* head) {
    while (head) {
        RefPoint* next = head->next;
        delete head;
        head = next;
    }
}

// Owns the list that a projection was given.
class ProjectionRefs {
public:
    ProjectionRefs(Projection& projection, std::initializer_list<RefSpec> specs)
        : projection_(projection) {
        projection_.SetRefPoints(MakeRefList(specs));
    }
    ~ProjectionRefs() { FreeRefList(projection_.refPoints); }
    ProjectionRefs(const ProjectionRefs&) = delete;
    ProjectionRefs& operator=(const ProjectionRefs&) = delete;

private:
    Projection& projection_;
};

inline TrackPoint Position(int32_t longitude, int32_t latitude) {
    TrackPoint p{};
    p.longitude = longitude;
    p.latitude = latitude;
    return p;
}
