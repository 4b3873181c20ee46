// Two COM ports of the test prefix joined like a null-modem cable, backed by Linux
// pseudo-terminals (scripts/nmea_pty.py, started on the Unix side). The test writes receiver
// output into one end with WriteFile; the code under test reads the other.
#pragma once
#include <windows.h>

#include <string>

class PtyPortPair {
public:
    PtyPortPair(int receiverPort, int testPort);
    ~PtyPortPair();
    PtyPortPair(const PtyPortPair&) = delete;
    PtyPortPair& operator=(const PtyPortPair&) = delete;

    bool ok() const { return end_ != INVALID_HANDLE_VALUE; }
    // "COMn:", the name the receiver is given.
    std::wstring ReceiverName() const;
    bool Write(const std::string& bytes);
    bool Write(const void* bytes, size_t n);
    // Reads what the receiver wrote, until `bytes` arrived or the time is up.
    std::string Read(size_t bytes, DWORD timeoutMs);

private:
    int receiverPort_;
    std::wstring readyPath_;
    HANDLE helper_ = nullptr;
    HANDLE end_ = INVALID_HANDLE_VALUE;
};
