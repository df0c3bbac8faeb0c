// Fuzzes the refs that name rows: object selectors such as Part(CN_PART_NUMBER=P-100021), link selectors
// such as Parts Tree(parent=P-100000, child=P-100031) or Parts Tree(id=20), and names, on the sample product.
// A ref either names one object or link or is refused with a FileError, the same way each time it is used.
// SPDX-License-Identifier: Apache-2.0
#include "FileError.h"
#include "SampleWorld.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const quendra::playback::World& world = quendra::fuzz::SampleWorld();
    const std::string ref(reinterpret_cast<const char*>(data), size);
    std::string why;
    const auto target = world.TryResolve(ref, why);
    try {
        const auto resolved = world.Resolve(ref, "/row");
        if (!target || resolved.key.classId != target->key.classId || resolved.key.objectId != target->key.objectId)
            std::abort();
    } catch (const quendra::FileError&) {
        if (target) std::abort();
    }
    quendra::playback::RowArg row;
    row.ref = ref;
    row.path = "/rows/0";
    for (const bool storedLink : {false, true}) {
        try {
            const auto made = world.MakeRow(row, storedLink);
            if (made.kind != quendra::embedded::HookRow::Kind::PendingLink && !target) std::abort();
        } catch (const quendra::FileError&) {
        }
    }
    return 0;
}
