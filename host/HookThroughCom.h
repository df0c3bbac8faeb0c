// HookThroughCom: `quendra play --com`: a hook called through Quendra.Application, the registered
// quendra.dll, as a platform script calls it (Windows only).
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "HookCatalog.h"

namespace quendra::host {

// A HookCaller: the arguments go in the order of the DLL's method table; FromObj and MyNewPart come back.
int16_t CallHookByCom(const playback::HookInfo& hook, const Ptr<CvSession>& session, playback::HookArguments& arguments,
                      ui::WindowSystem& windows);

} // namespace quendra::host
