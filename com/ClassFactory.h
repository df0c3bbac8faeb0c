// ClassFactory: makes the server's creatable objects for CoCreateInstance.
// SPDX-License-Identifier: Apache-2.0
#pragma once

// <windows.h> comes first: the other Windows headers build on it.
#include <windows.h>

#include <unknwn.h>

namespace quendra::com {

// A new factory with one reference for the objects that `create` makes (nullptr when memory is short).
IClassFactory* CreateClassFactory(IDispatch* (*create)());

} // namespace quendra::com
