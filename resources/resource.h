// Resource identifiers of the program.
#pragma once

#define IDS_APP_CLASS 1 // window class name and title: "Tarn-Wick"
