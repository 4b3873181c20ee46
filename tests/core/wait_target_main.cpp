// A program for the tests that end processes by name. By default it only waits, and ends by
// itself after a while so that a failed test leaves nothing running. With the argument
// "end-self" it asks to end every process of its own name and reports with exit code 7 that it
// survived. A window program, so that no console host is started for it.
#include <windows.h>

#include <cwchar>

#include "core/process_utils.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    if (commandLine && wcsstr(commandLine, L"end-self")) {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        const wchar_t* name = wcsrchr(path, L'\\');
        TerminateProcessByName(name ? name + 1 : path);
        return 7;
    }
    Sleep(60000);
    return 7;
}
