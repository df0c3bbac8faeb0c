// HeapMeter: peak bytes of the process's C++ heap during a measurement, counted by the replaced global operator
// new and delete. Outside a measurement they only allocate and release, so runs that are timed but not metered
// pay nothing for the meter.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstddef>

namespace quendra::bench {

class HeapMeter {
public:
    // Starts a measurement: the peak is counted from the bytes live now.
    static void Start();
    // Ends the measurement: the highest number of bytes live since Start(), above what was live then.
    static size_t Stop();
};

} // namespace quendra::bench
