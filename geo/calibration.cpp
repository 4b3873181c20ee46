// Solving a projection's affine transforms from reference points, and choosing those points.
#include "geo/projection.h"

#include "core/resource_module.h"
#include "platform/ui_seam.h"
#include "resources/resource.h"

#include <cmath>
#include <cstdlib>

namespace {
struct FitPoint {
    double gx, gy, x, y;
};

// The points cannot define a transform: tell the user, the caller then stays uncalibrated.
int ReportBadReferencePoints() {
    wchar_t text[160];
    wchar_t caption[40];
    LoadResString(IDS_GEO_REFPOINTS_BAD, text, 160);
    LoadResString(IDS_GEO_GRID_CAPTION, caption, 40);
    UiMessageBox(nullptr, text, caption, MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

// Cross product of (b - a) and (c - a); zero when the three points lie on one line, compared
// against the size of its terms so that grid values of any magnitude are judged alike.
bool Collinear(double ax, double ay, double bx, double by, double cx, double cy) {
    const double p = (bx - ax) * (cy - ay);
    const double q = (cx - ax) * (by - ay);
    return std::fabs(p - q) <= 1e-12 * (std::fabs(p) + std::fabs(q));
}

// Solves out = c0 u + c1 v + c2 for three (u, v, out) triples; det != 0 checked by the caller.
void Solve3(const double u[3], const double v[3], const double out[3], double* c0, double* c1,
            double* c2) {
    const double u1 = u[0] - u[1], v1 = v[0] - v[1], o1 = out[0] - out[1];
    const double u3 = u[2] - u[1], v3 = v[2] - v[1], o3 = out[2] - out[1];
    const double det = u1 * v3 - u3 * v1;
    *c0 = (o1 * v3 - o3 * v1) / det;
    *c1 = (u1 * o3 - u3 * o1) / det;
    *c2 = out[0] - *c0 * u[0] - *c1 * v[0];
}

bool AllFinite(const double* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(values[i]))
            return false;
    }
    return true;
}

int CellOf(const RefPoint* p, int width, int height) {
    if (p->x < 0 || p->y < 0 || p->x >= width || p->y >= height)
        return -1;
    const int column = static_cast<int>(3LL * p->x / width);
    const int row = static_cast<int>(3LL * p->y / height);
    return 3 * row + column;
}

void Unlink(RefPoint** head, RefPoint* node) {
    for (RefPoint** link = head; *link; link = &(*link)->next) {
        if (*link == node) {
            *link = node->next;
            node->next = nullptr;
            return;
        }
    }
}
} // namespace

bool CalibrationPointsConsistent(double x0, double y0, double lon0, double lat0, double x1,
                                 double y1, double lon1, double lat1) {
    return (x0 - x1) * (lon0 - lon1) > 0.0 && (y0 - y1) * (lat0 - lat1) > 0.0;
}

int Projection::Calibrate() {
    FitPoint p[3];
    const RefPoint* node = refPoints;
    for (int i = 0; i < 3; ++i, node = node->next) {
        if (!node)
            return ReportBadReferencePoints();
        GeoToGrid(node->longitude, node->latitude, &p[i].gx, &p[i].gy);
        p[i].x = node->x;
        p[i].y = node->y;
    }
    for (int m = 0; m < 3; ++m) {
        for (int n = m + 1; n < 3; ++n) {
            if (p[m].gx == p[n].gx || p[m].gy == p[n].gy || p[m].x == p[n].x || p[m].y == p[n].y)
                return ReportBadReferencePoints();
        }
    }
    if (Collinear(p[0].gx, p[0].gy, p[1].gx, p[1].gy, p[2].gx, p[2].gy) ||
        Collinear(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y))
        return ReportBadReferencePoints();

    const double gx[3] = {p[0].gx, p[1].gx, p[2].gx}, gy[3] = {p[0].gy, p[1].gy, p[2].gy};
    const double x[3] = {p[0].x, p[1].x, p[2].x}, y[3] = {p[0].y, p[1].y, p[2].y};
    const double gx8[3] = {gx[0] * 1e8, gx[1] * 1e8, gx[2] * 1e8};
    const double gy8[3] = {gy[0] * 1e8, gy[1] * 1e8, gy[2] * 1e8};
    double a[6], b[6];
    Solve3(gx, gy, x, &a[0], &a[1], &a[4]);
    Solve3(gx, gy, y, &a[2], &a[3], &a[5]);
    Solve3(x, y, gx8, &b[0], &b[1], &b[4]);
    Solve3(x, y, gy8, &b[2], &b[3], &b[5]);
    if (!AllFinite(a, 6) || !AllFinite(b, 6))
        return ReportBadReferencePoints();
    for (int i = 0; i < 6; ++i) {
        gridToPixel[i] = a[i];
        pixelToGrid[i] = b[i];
    }
    return 1;
}

int FitTwoPointsAxisAligned(Projection* pr) {
    const RefPoint* p1 = pr->refPoints;
    const RefPoint* p2 = p1 ? p1->next : nullptr;
    if (!p2)
        return ReportBadReferencePoints();
    double gx1, gy1, gx2, gy2;
    pr->GeoToGrid(p1->longitude, p1->latitude, &gx1, &gy1);
    pr->GeoToGrid(p2->longitude, p2->latitude, &gx2, &gy2);
    const double x1 = p1->x, y1 = p1->y, x2 = p2->x, y2 = p2->y;
    if (x1 == x2 || y1 == y2 || gx1 == gx2 || gy1 == gy2)
        return ReportBadReferencePoints();
    double a[6] = {}, b[6] = {};
    a[0] = (x2 - x1) / (gx2 - gx1);
    a[4] = x1 - a[0] * gx1;
    a[3] = (y2 - y1) / (gy2 - gy1);
    a[5] = y1 - a[3] * gy1;
    b[0] = (gx2 * 1e8 - gx1 * 1e8) / (x2 - x1);
    b[4] = gx1 * 1e8 - b[0] * x1;
    b[3] = (gy2 * 1e8 - gy1 * 1e8) / (y2 - y1);
    b[5] = gy1 * 1e8 - b[3] * y1;
    if (!AllFinite(a, 6) || !AllFinite(b, 6))
        return ReportBadReferencePoints();
    for (int i = 0; i < 6; ++i) {
        pr->gridToPixel[i] = a[i];
        pr->pixelToGrid[i] = b[i];
    }
    return 1;
}

int ChooseBasePoints(Projection* pr) {
    if (pr->RefPointCount() < 3)
        return 0;
    RefPoint* p1 = pr->refPoints;
    RefPoint* p2 = p1->next;
    RefPoint* p3 = p2->next;
    auto consistent = [](const RefPoint* a, const RefPoint* b) {
        return CalibrationPointsConsistent(a->x, a->y, a->longitude, a->latitude, b->x, b->y,
                                           b->longitude, b->latitude);
    };
    RefPoint* rest = p3->next;
    if (consistent(p1, p2))
        return 1;
    if (consistent(p3, p2)) {
        pr->refPoints = p3;
        p3->next = p2;
        p2->next = p1;
        p1->next = rest;
    } else {
        pr->refPoints = p2;
        p2->next = p1;
        p1->next = p3;
    }
    return 1;
}

bool RefPointsEqual(const RefPoint* a, const RefPoint* b) {
    return a->x == b->x && a->y == b->y && a->longitude == b->longitude &&
           a->latitude == b->latitude;
}

bool RefPointNearer(int x, int y, const RefPoint* node) {
    const RefPoint* next = node->next;
    if (!next)
        return false;
    auto dist2 = [x, y](const RefPoint* p) {
        const int64_t ddx = static_cast<int64_t>(p->x) - x, ddy = static_cast<int64_t>(p->y) - y;
        return ddx * ddx + ddy * ddy;
    };
    return dist2(node) > dist2(next);
}

void SortRefPointsByDistance(Projection* pr, int start, int x, int y) {
    bool changed = true;
    while (changed) {
        changed = false;
        int position = 0;
        for (RefPoint** link = &pr->refPoints; *link && (*link)->next;) {
            RefPoint* a = *link;
            RefPoint* b = a->next;
            if (RefPointsEqual(a, b)) {
                a->next = b->next;
                delete b;
                changed = true;
                continue;
            }
            if (position >= start && RefPointNearer(x, y, a)) {
                a->next = b->next;
                b->next = a;
                *link = b;
                changed = true;
            }
            link = &(*link)->next;
            ++position;
        }
    }
}

int Projection::FitGrid(int width, int height) {
    // Cell classes of a 3 x 3 division of the picture (-1: centre, never used).
    static const int kTableA[9] = {0, 2, 1, 1, -1, 0, 2, 0, 3};
    static const int kTableB[9] = {0, 3, 1, 3, -1, 2, 2, 1, 3};
    if (width <= 0 || height <= 0)
        return 0;
    auto usable = [](int cell) { return cell >= 0 && cell != 4; };
    for (RefPoint* first = refPoints; first; first = first->next) {
        const int firstCell = CellOf(first, width, height);
        if (!usable(firstCell))
            continue;
        const int cls = kTableA[firstCell];
        RefPoint* found[2] = {nullptr, nullptr};
        int count = 0;
        for (RefPoint* p = refPoints; p && count < 2; p = p->next) {
            if (p == first || p == found[0])
                continue;
            const int cell = CellOf(p, width, height);
            if (usable(cell) && (kTableA[cell] == cls || kTableB[cell] == cls))
                found[count++] = p;
        }
        if (count < 2)
            continue;
        Unlink(&refPoints, first);
        Unlink(&refPoints, found[0]);
        Unlink(&refPoints, found[1]);
        found[1]->next = refPoints;
        found[0]->next = found[1];
        first->next = found[0];
        refPoints = first;
        return 1;
    }
    return 0;
}
