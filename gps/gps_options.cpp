#include "gps/gps_options.h"

#include <mutex>

namespace {
std::mutex g_lock;
GpsOptionsSource g_source;
} // namespace

void SetGpsOptionsSource(GpsOptionsSource source) {
    std::lock_guard<std::mutex> hold(g_lock);
    g_source = std::move(source);
}

GpsOptions CurrentGpsOptions() {
    std::lock_guard<std::mutex> hold(g_lock);
    return g_source ? g_source() : GpsOptions{};
}
