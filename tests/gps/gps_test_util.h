// Small helpers shared by the receiver tests.
#pragma once
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "gps/nmea_sentence.h"

// "$" + body + "*" + checksum (no line end).
inline std::string Nmea(const std::string& body) {
    std::string s = "$" + body + "*";
    char cs[4];
    snprintf(cs, sizeof(cs), "%02X", NmeaChecksum(s.c_str()));
    return s + cs;
}

inline std::string ReadFixture(const std::string& name) {
    // The fixtures folder is a host path: Wine reaches it through drive Z:.
    std::ifstream in("Z:" + std::string(TW_GPS_FIXTURES) + "/" + name, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}
