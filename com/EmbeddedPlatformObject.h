// Quendra.Platform: the embedded platform for scripts. A script opens a database file, logs a user
// in and makes record lists and objects by the scenario files' refs, and passes them to
// Quendra.Application as a platform's script does with the platform's own objects.
// SPDX-License-Identifier: Apache-2.0
#pragma once

// <windows.h> comes first: the other Windows headers build on it.
#include <windows.h>

#include <oaidl.h>

namespace quendra::com {

// A new object with one reference, or nullptr when memory is short.
IDispatch* CreateEmbeddedPlatformObject();

} // namespace quendra::com
