// Folder trees. No path these build is longer than MAX_PATH characters with its terminator:
// an entry whose full path would be longer is skipped, never cut to fit.
#pragma once
#include <windows.h>

// Creates every folder along the path below its first component (a volume or root folder,
// taken as existing), the last component too unless the path ends with a separator. TRUE when
// the last folder exists afterwards.
BOOL CreateDirectoryChain(const wchar_t* path);

// Deletes the folder with every file and folder below it. Refuses an empty path and a volume
// root. TRUE when the folder itself was removed.
BOOL DeleteDirectoryTree(const wchar_t* folder);

// Copies every file below `source` to the same place below `target` (creating folders,
// overwriting files). Refuses a target that is the source or lies inside it. TRUE when every
// entry was copied.
BOOL CopyDirectoryTree(const wchar_t* source, const wchar_t* target);
