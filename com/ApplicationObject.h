// ApplicationObject: Quendra.Application over automation, the dispatch interface of the type
// library. Each hook turns the script's arguments into platform objects and texts, calls the
// component's Application and answers the hook result as a 16-bit integer (VT_I2). A failure
// that the hook lets pass becomes DISP_E_EXCEPTION with the failure's text as description.
// SPDX-License-Identifier: Apache-2.0
#pragma once

// <windows.h> comes first: the other Windows headers build on it.
#include <windows.h>

#include <oaidl.h>

namespace quendra::com {

// A new object with one reference, or nullptr when memory is short.
IDispatch* CreateApplicationObject();

} // namespace quendra::com
