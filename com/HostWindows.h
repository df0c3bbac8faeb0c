// A private interface of Quendra.Application for a host in the same process (the Windows quendra
// command): the component's windows go to the host's window system instead of native windows, so
// the host answers and records them as it does for its own calls. Scripts cannot reach it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "BoundaryWindows.h"

// <windows.h> comes first: the other Windows headers build on it.
#include <windows.h>

#include <unknwn.h>

namespace quendra::com {

// {2B8F0E6D-4A71-4C39-B5D2-8E6F1A3C7B95}
inline constexpr IID IidHostWindows = {0x2B8F0E6D, 0x4A71, 0x4C39, {0xB5, 0xD2, 0x8E, 0x6F, 0x1A, 0x3C, 0x7B, 0x95}};

struct IHostWindows : public IUnknown {
    // The windows of the calls to come, behind the adapter that carries failures across the two
    // modules; they must outlive those calls.
    virtual HRESULT STDMETHODCALLTYPE UseWindows(BoundaryWindows* windows) = 0;
};

} // namespace quendra::com
