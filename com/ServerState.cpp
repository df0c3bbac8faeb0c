// The count of the server's live objects and locks, for DllCanUnloadNow.
// SPDX-License-Identifier: Apache-2.0
#include "ServerState.h"

#include <atomic>

namespace quendra::com {

namespace {

std::atomic<long> objectsAndLocks{0};

} // namespace

void ObjectCreated() {
    ++objectsAndLocks;
}

void ObjectDestroyed() {
    --objectsAndLocks;
}

void LockServer(bool lock) {
    if (lock)
        ++objectsAndLocks;
    else
        --objectsAndLocks;
}

bool CanUnload() {
    return objectsAndLocks == 0;
}

} // namespace quendra::com
