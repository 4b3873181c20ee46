// Starts the real program and closes it again. It relies only on the main window's class
// (string resource 1), so it holds whatever the start-up does before showing the window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/resource_module.h"
#include "resources/resource.h"
#include "tests/support/scratch_dir.h"

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 30000;
constexpr DWORD kPollMs = 50;

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\')) + L"\\Tarn_Wick.exe";
}

struct WindowSearch {
    const wchar_t* className;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    wchar_t name[128] = {};
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !GetClassNameW(window, name, 128) ||
        wcscmp(name, search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

// The top-level window of that class that belongs to the process, or null.
HWND FindProgramWindow(const wchar_t* className, DWORD processId) {
    WindowSearch search{className, processId, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class Program {
public:
    Program(const std::wstring& exe, const std::wstring& folder) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        // No standard handles: the program must not hold the test runner's output pipe.
        startup.dwFlags = STARTF_USESTDHANDLES;
        std::wstring command = L"\"" + exe + L"\"";
        started_ = CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &startup, &info_);
    }
    ~Program() {
        if (!started_)
            return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(info_.hProcess, 99);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return started_; }
    DWORD id() const { return info_.dwProcessId; }
    HANDLE process() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

TEST(StartupSmoke, ProgramShowsItsMainWindowAndEndsOnClose) {
    wchar_t className[64] = {};
    ASSERT_GT(LoadResString(IDS_APP_CLASS, className, 64), 0);
    ScratchDir workFolder; // paths without a drive stay here
    Program program(ProgramPath(), workFolder.path());
    ASSERT_TRUE(program.started()) << "cannot start " << ProgramPath();

    HWND window = nullptr;
    for (DWORD waited = 0; !window && waited < kStartTimeoutMs; waited += kPollMs) {
        if (WaitForSingleObject(program.process(), kPollMs) == WAIT_OBJECT_0)
            break; // ended before showing a window
        window = FindProgramWindow(className, program.id());
    }
    ASSERT_NE(window, nullptr) << "no window of class " << className;

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(program.process(), kExitTimeoutMs),
              static_cast<DWORD>(WAIT_OBJECT_0));
}

} // namespace
