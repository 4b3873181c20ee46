// The one shared request record of the program's own file dialog.
#pragma once
#include <windows.h>
#include <commdlg.h>

constexpr int kFileDialogTextChars = 260;

OPENFILENAMEW* GetFileDialogRequest();
wchar_t* GetFileDialogFilter(); // kFileDialogTextChars characters
wchar_t* GetFileDialogTitle();  // kFileDialogTextChars characters
// Resets the record: owner the profile's main window, shared filter and title buffers.
void InitOpenFileName();
