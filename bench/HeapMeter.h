// HeapMeter: live and peak bytes of the process's C++ heap, counted by the replaced global operator new.
#pragma once

#include <cstddef>

namespace quendra::bench {

class HeapMeter {
public:
    // Starts a measurement: the peak is counted from the bytes live now.
    static void Start();
    // The highest number of bytes live since Start(), above what was live then.
    static size_t PeakAboveStart();
};

} // namespace quendra::bench
