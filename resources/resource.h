// Resource identifiers of the program.
#pragma once

#define IDS_APP_CLASS 1 // window class name and title: "Tarn-Wick"
#define IDS_TOUR_SUBKEY 54 // "Tour": track list subkey and tour sub-folder
#define IDS_DEFAULT_FOLDERS 58 // search folders without stored settings
#define IDS_RECORDING_PAUSED 40228

#define IDI_APP 101
#define IDA_MAIN 5

// Geodesy messages
#define IDS_GEO_REFPOINTS_BAD 26001 // calibration from reference points impossible
#define IDS_GEO_GRID_CAPTION 26002

// Tours
#define IDS_TOUR_INFO 2061
#define IDS_TOUR_FILE_CAPTION 40091
#define IDS_ERROR_CAPTION 40133
#define IDS_TOUR_RENAME_ERROR 40135
#define IDS_ITEM_ALREADY_LISTED 40187
#define IDS_TOUR_WRITE_ERROR 40209

// Maps
#define IDS_MAP_KEY 55     // "Map": registry subkey of per-map settings
#define IDS_MAP_INFO 2106  // properties text of a map
#define IDS_TKM_OPEN_ERROR 41420  // a TKM file cannot be created
#define IDS_TKM_WRITE_ERROR 41421 // a TKM file cannot be written
#define IDS_TKM_CAPTION 41422     // caption of TKM writing messages
// GPS receiver auto-detection
#define IDS_GPS_AUTOCONFIG 40162   // "Auto Config GPS"
#define IDS_GPS_FOUND 40163        // "Found GPS at Port %s\r\nBaudrate is %d"
#define IDS_GPS_NOT_FOUND 40164    // "No GPS found\r\nPlease check the device and try maunally"
