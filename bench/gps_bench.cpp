// Throughput of the receiver's sentence cutting and parsing path, in MB/s of NMEA text:
// bytes pushed into the receive ring in the reader's 64-byte passes, cut into sentences and
// parsed into the fix records under the object's lock.
#include <windows.h>

#include <cstdio>
#include <string>

#include "gps/gps.h"
#include "gps/nmea_sentence.h"

namespace {
std::string Sentence(const char* body) {
    std::string s = std::string("$") + body + "*";
    char cs[8];
    snprintf(cs, sizeof(cs), "%02X\r\n", NmeaChecksum(s.c_str()));
    return s + cs;
}

std::string Stream(size_t bytes) {
    const std::string second =
        Sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") +
        Sentence("GPGSA,A,3,04,05,09,12,17,19,22,25,,,,,1.6,0.9,1.3") +
        Sentence("GPGSV,2,1,08,03,64,112,44,06,41,201,41,09,27,288,38,12,55,045,42") +
        Sentence("GPGSV,2,2,08,17,12,315,30,19,33,150,39,22,70,260,45,25,08,020,28") +
        Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    std::string out;
    while (out.size() < bytes)
        out += second;
    return out;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}

// Returns MB/s; parse = false measures the cutting alone.
double Run(const std::string& data, GPS* gps, size_t* sentences) {
    ReceiveRing ring;
    static char sentence[kSentenceSize];
    *sentences = 0;
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    for (size_t at = 0; at < data.size(); at += 64) {
        size_t n = data.size() - at < 64 ? data.size() - at : 64;
        ring.Push(reinterpret_cast<const uint8_t*>(data.data() + at), n);
        while (ring.NextSentence(sentence, sizeof(sentence), nullptr)) {
            ++*sentences;
            if (gps)
                gps->ParseSentence(sentence);
        }
    }
    QueryPerformanceCounter(&t1);
    return data.size() / 1e6 / Seconds(t0, t1);
}
} // namespace

int main() {
    const std::string data = Stream(32 * 1024 * 1024);
    GPS gps(L"GARMIN USB", nullptr, nullptr, 4800); // no port, no thread, no owner to post to
    size_t sentences = 0;
    double cut = Run(data, nullptr, &sentences);
    printf("gps cut:         %8.1f MB/s (%zu sentences, %.1f MB)\n", cut, sentences,
           data.size() / 1e6);
    double parse = Run(data, &gps, &sentences);
    printf("gps cut + parse: %8.1f MB/s (%zu sentences; 4800 baud is 0.00048 MB/s)\n", parse,
           sentences);
    return 0;
}
