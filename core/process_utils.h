// Ending other programs by name.
#pragma once

// Terminates (exit code 0) every running process whose executable name equals `exeName`
// without regard to case, such as a navigation program that holds the receiver's port. The
// calling process itself is never ended. Returns 0.
int TerminateProcessByName(const wchar_t* exeName);
