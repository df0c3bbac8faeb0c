// ClassFactory: makes ApplicationObjects for CoCreateInstance.
#pragma once

// <windows.h> comes first: the other Windows headers build on it.
#include <windows.h>

#include <unknwn.h>

namespace quendra::com {

// A new factory with one reference.
IClassFactory* CreateClassFactory();

} // namespace quendra::com
