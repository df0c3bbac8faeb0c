// What the server counts to answer DllCanUnloadNow, and the module it was loaded as.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <windows.h>

namespace quendra::com {

// The objects alive (applications and class factories) plus the server locks held.
void ObjectCreated();
void ObjectDestroyed();
void LockServer(bool lock);
bool CanUnload();

HMODULE ServerModule();
void SetServerModule(HMODULE module);

} // namespace quendra::com
