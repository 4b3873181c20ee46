// The vendor libraries of two device families, bound by ordinal at run time. They serve the
// backlight. Entry points that are not bound are null; calls through them are skipped.
#pragma once
#include <string>

extern const wchar_t kDianaOem[]; // "Navigon Diana/Noha"
extern const wchar_t kTp300Oem[]; // "TP300 Platform"

// Copies the vendor's two libraries into `programFolder` (never overwriting) and loads
// "Hardwarelayer.dll"; 0 when it cannot be loaded, else 1.
int InitDianaPlatform(const std::wstring& programFolder);
void CloseDianaPlatform();
int DianaSetBacklight(int level); // level 0..6, passed on as per cent
int DianaGetBacklight();          // what the library reports; -1 when unbound

int InitTp300Platform();
void CloseTp300Platform();
int Tp300SetBacklight(int level);
int Tp300GetBacklight(); // always -1: the library offers no reading
int Tp300PlatformQuery();

// Loads `path` as the library of that family and binds its ordinals; the Init operations use
// the vendors' own paths.
int BindDianaLibrary(const wchar_t* path);
int BindTp300Library(const wchar_t* path);

// By OEM name: the Init or Close operation of the family that the OEM string names, if any.
void InitPlatformLibraries(const std::wstring& programFolder);
void ClosePlatformLibraries();
bool OemIs(const wchar_t* name); // OEM string begins with name, case-insensitive
