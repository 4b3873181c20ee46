// The ".reg"-style text of registry keys: written for the settings backup file, parsed when
// that file is restored and for built-in registration texts. The text is 8-bit (the system's
// code page); names and data are UTF-16 in the registry.
//
//   \r\n[HKEY_LOCAL_MACHINE\SOFTWARE\Kestrova\Tarn-Wick]\r\n
//   "COM Port"="COM6:"\r\n
//   "Baudrate"=dword:000012c0\r\n
//   "Blob"=hex:01,ab,ff\r\n
//   @="default value"\r\n
#pragma once
#include <cstddef>
#include <string>

// Appends the text of HKEY_LOCAL_MACHINE\keyPath and, recursively, its subkeys (values first,
// then subkeys, in enumeration order) to *out; with out null it only counts. Returns the number
// of bytes the text of this key takes. String, DWORD and binary values are written; other types
// are left out. A key that cannot be opened still gives its key line.
size_t RegTextWriter(const std::wstring& keyPath, std::string* out);

// Applies the text to the registry: key lines open or create keys below HKEY_LOCAL_MACHINE,
// HKEY_CLASSES_ROOT, HKEY_CURRENT_USER or HKEY_USERS; value lines set values of the current key.
// Lines that do not parse are skipped; values after a key line with another root are dropped.
void RegTextParser(const char* text, size_t length);
