#include "tests/support/message_collector.h"

namespace {
const wchar_t kClassName[] = L"TwTestMessageCollector";

void RegisterOnce(WNDPROC proc) {
    static bool done = false;
    if (done)
        return;
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
    done = true;
}
} // namespace

MessageCollector::MessageCollector() {
    RegisterOnce(WndProc);
    hwnd_ = CreateWindowExW(0, kClassName, L"collector", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                            nullptr, GetModuleHandleW(nullptr), this);
}

MessageCollector::~MessageCollector() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

LRESULT CALLBACK MessageCollector::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<MessageCollector*>(GetWindowLongPtrW(hwnd, 0));
    if (self && msg >= self->minimum_)
        self->messages_.push_back({msg, wParam, lParam});
    if (msg == WM_NCDESTROY && self)
        self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void MessageCollector::Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

size_t MessageCollector::Count(UINT msg) const {
    size_t n = 0;
    for (const auto& m : messages_)
        n += (m.msg == msg);
    return n;
}

bool MessageCollector::WaitFor(UINT msg, DWORD timeoutMs, size_t count) {
    DWORD start = GetTickCount();
    for (;;) {
        Pump();
        if (Count(msg) >= count)
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
}
