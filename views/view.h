// Base of every view that the frame hosts; the profile's view table owns them.
#pragma once
#include <windows.h>

class View {
public:
    View() = default;
    virtual ~View() = default;
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // Repaint: stores the repaint kind and invalidates the client area.
    virtual void InvalidateEx(int erase, int full) {
        (void)erase;
        (void)full;
    }
};
