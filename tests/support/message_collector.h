// A hidden top-level window that records every message posted or sent to it, for code under
// test that announces events to the main window (PostMessage).
#pragma once
#include <windows.h>
#include <vector>

struct CollectedMessage {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

class MessageCollector {
public:
    MessageCollector();
    ~MessageCollector();
    MessageCollector(const MessageCollector&) = delete;
    MessageCollector& operator=(const MessageCollector&) = delete;

    HWND hwnd() const { return hwnd_; }

    // Dispatches queued messages of this thread without waiting.
    void Pump();
    // Pumps until a message `msg` was recorded (counting earlier ones) or the time is up.
    bool WaitFor(UINT msg, DWORD timeoutMs, size_t count = 1);
    size_t Count(UINT msg) const;
    const std::vector<CollectedMessage>& messages() const { return messages_; }
    void Clear() { messages_.clear(); }

    // Only messages at or above this number are recorded (default WM_USER: window management
    // traffic is left out).
    void SetMinimum(UINT minimum) { minimum_ = minimum; }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    UINT minimum_ = WM_USER;
    std::vector<CollectedMessage> messages_;
};
