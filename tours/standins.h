// Private stand-in for a service of another subsystem that tours needs before it is on main:
// the device profile's time-record word (core). Remove it when the real field lands.
#pragma once

namespace tours_standin {

// The device profile's time-record word, set when a time mark is written.
inline int& TimeRecordWord() {
    static int word = 0;
    return word;
}

} // namespace tours_standin
