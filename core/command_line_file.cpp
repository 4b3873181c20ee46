#include "core/command_line_file.h"

#include <cwchar>

#include "core/startup_hooks.h"

bool PathHasExtension(const wchar_t* path, const wchar_t* extension) {
    const wchar_t* dot = path ? wcsrchr(path, L'.') : nullptr;
    return dot && _wcsicmp(dot + 1, extension) == 0;
}

void OpenCommandLineFile(const wchar_t* path) {
    if (!path || !*path || !HookHasCurrentMapView())
        return;
    if (PathHasExtension(path, L"TUR")) {
        HookOpenTourFromCommandLine(path);
        return;
    }
    const wchar_t* const mapExtensions[] = {L"TKM", L"KAP", L"EAP", L"NMAP"};
    for (const wchar_t* extension : mapExtensions) {
        if (PathHasExtension(path, extension)) {
            HookOpenMapFromCommandLine(path);
            return;
        }
    }
}
