#include "platform/clock.h"

#include <mutex>

namespace {
std::mutex g_lock;
ClockHooks g_hooks;

ClockHooks Current() {
    std::lock_guard<std::mutex> hold(g_lock);
    return g_hooks;
}
} // namespace

ClockHooks SetClockHooks(ClockHooks hooks) {
    std::lock_guard<std::mutex> hold(g_lock);
    ClockHooks previous = std::move(g_hooks);
    g_hooks = std::move(hooks);
    return previous;
}

void PlatformGetLocalTime(SYSTEMTIME* out) {
    ClockHooks hooks = Current();
    if (hooks.get)
        hooks.get(out);
    else
        GetLocalTime(out);
}

BOOL PlatformSetLocalTime(const SYSTEMTIME* time) {
    ClockHooks hooks = Current();
    if (hooks.set)
        return hooks.set(time);
    return SetLocalTime(time);
}
