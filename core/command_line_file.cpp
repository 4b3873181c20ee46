#include "core/command_line_file.h"

#include <cwchar>

#include "core/path_utils.h"
#include "core/startup_hooks.h"

void OpenCommandLineFile(const wchar_t* path) {
    if (!path || !*path || !HookHasCurrentMapView())
        return;
    if (HasExtension(path, L"TUR")) {
        HookOpenTourFromCommandLine(path);
        return;
    }
    const wchar_t* const mapExtensions[] = {L"TKM", L"KAP", L"EAP", L"NMAP"};
    for (const wchar_t* extension : mapExtensions) {
        if (HasExtension(path, extension)) {
            HookOpenMapFromCommandLine(path);
            return;
        }
    }
}
