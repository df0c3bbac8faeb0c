// Registration of Quendra.Application (class, programmatic identifiers and type library) and of
// Quendra.Platform.
// SPDX-License-Identifier: Apache-2.0
#pragma once

// <windows.h> comes first: the other Windows headers build on it.
#include <windows.h>

#include <oaidl.h>

namespace quendra::com {

// {CAA60299-1FFF-497F-82B2-87E1416FD89D}
extern const CLSID ClsidApplication;
// Quendra.Platform, the embedded platform for scripts: {7D3E6A52-1C84-4B0F-9E27-5A6C3D8B1F04}
extern const CLSID ClsidPlatform;
// The type library and the dispatch interface that it describes.
extern const GUID LibidQuendra;
extern const IID DiidApplication;

HRESULT RegisterServer();
// Removes every key that RegisterServer writes; keys that are already gone are no failure.
HRESULT UnregisterServer();

// The type library embedded in this module; the caller releases it.
HRESULT LoadServerTypeLib(ITypeLib** typeLib);

} // namespace quendra::com
