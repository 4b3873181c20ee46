// A tour or map file named on the command line, at start-up or handed over by a second start.
#pragma once

// "TUR" opens and selects the tour; "TKM", "KAP", "EAP" and "NMAP" open and show the map;
// other files are ignored. Needs a current map view.
void OpenCommandLineFile(const wchar_t* path);
