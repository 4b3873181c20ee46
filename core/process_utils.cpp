#include "core/process_utils.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>

#include "core/text_utils.h"

namespace {

class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
    ~OwnedHandle() {
        if (valid())
            CloseHandle(handle_);
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    bool valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

bool NameMatches(const PROCESSENTRY32W& entry, const wchar_t* exeName) {
    size_t length = wcsnlen(entry.szExeFile, MAX_PATH);
    return EqualsNoCase(entry.szExeFile, length, exeName, wcslen(exeName));
}

void Terminate(DWORD processId) {
    OwnedHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, processId));
    if (process.valid())
        TerminateProcess(process.get(), 0);
}

} // namespace

int TerminateProcessByName(const wchar_t* exeName) {
    if (!exeName || !*exeName)
        return 0;
    OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid())
        return 0;
    const DWORD self = GetCurrentProcessId();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID != self && NameMatches(entry, exeName))
            Terminate(entry.th32ProcessID);
    }
    return 0;
}
