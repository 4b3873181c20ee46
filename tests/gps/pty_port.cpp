#include "tests/gps/pty_port.h"

#include <cstdio>
#include <vector>

namespace {
// A Unix path of the host as Wine sees it through its Z: drive.
std::wstring UnixToWine(const std::string& unixPath) {
    std::wstring out = L"Z:";
    for (char c : unixPath)
        out += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return out;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
} // namespace

PtyPortPair::PtyPortPair(int receiverPort, int testPort) : receiverPort_(receiverPort) {
    char ready[128];
    snprintf(ready, sizeof(ready), "/tmp/tw-pty-%lu-%d.ready", GetCurrentProcessId(), receiverPort);
    readyPath_ = UnixToWine(ready);
    DeleteFileW(readyPath_.c_str());
    char command[512];
    snprintf(command, sizeof(command), "/usr/bin/python3 %s/scripts/nmea_pty.py pair %d %d %s",
             TW_SOURCE_DIR, receiverPort, testPort, ready);
    std::wstring wide(command, command + strlen(command));
    std::vector<wchar_t> line(wide.begin(), wide.end());
    line.push_back(0);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES; // no handles: the helper never holds ctest's pipe
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return;
    CloseHandle(pi.hThread);
    helper_ = pi.hProcess;
    for (int i = 0; i < 100 && !Exists(readyPath_); ++i)
        Sleep(50);
    wchar_t device[32];
    swprintf(device, 32, L"\\\\.\\COM%d", testPort);
    end_ = CreateFileW(device, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (end_ == INVALID_HANDLE_VALUE)
        return;
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    GetCommState(end_, &dcb);
    dcb.BaudRate = 4800;
    dcb.fBinary = TRUE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    SetCommState(end_, &dcb);
    COMMTIMEOUTS timeouts = {50, 0, 200, 0, 0};
    SetCommTimeouts(end_, &timeouts);
}

PtyPortPair::~PtyPortPair() {
    if (end_ != INVALID_HANDLE_VALUE)
        CloseHandle(end_);
    DeleteFileW(readyPath_.c_str()); // the helper removes its links and ends
    if (helper_) {
        WaitForSingleObject(helper_, 3000);
        CloseHandle(helper_);
    }
}

std::wstring PtyPortPair::ReceiverName() const {
    wchar_t name[16];
    swprintf(name, 16, L"COM%d:", receiverPort_);
    return name;
}

bool PtyPortPair::Write(const void* bytes, size_t n) {
    DWORD written = 0;
    return WriteFile(end_, bytes, static_cast<DWORD>(n), &written, nullptr) && written == n;
}

bool PtyPortPair::Write(const std::string& bytes) {
    return Write(bytes.data(), bytes.size());
}

std::string PtyPortPair::Read(size_t bytes, DWORD timeoutMs) {
    std::string out;
    DWORD start = GetTickCount();
    while (out.size() < bytes && GetTickCount() - start < timeoutMs) {
        char chunk[256];
        DWORD got = 0;
        if (!ReadFile(end_, chunk, sizeof(chunk), &got, nullptr))
            break;
        out.append(chunk, got);
    }
    return out;
}
