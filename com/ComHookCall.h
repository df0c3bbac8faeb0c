// A hook called through Quendra.Application as a platform script calls it: the object created by
// its programmatic identifier (the DLL registered), the platform objects offered over automation,
// every argument by reference. The Windows quendra command plays scenarios this way with --com.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "WindowSystem.h"

#include <string>
#include <variant>
#include <vector>

namespace quendra::com {

// One argument: an object (none is an empty pointer) or a text. Objects come back as the hook left them.
using HookArgument = std::variant<Ptr<CvSession>, Ptr<CvRecList>, Ptr<CvObject>, std::string>;

// The hook result; a failure the hook lets pass throws CvError with the script error's description.
int16_t CallHookThroughCom(const std::string& hook, std::vector<HookArgument>& arguments, ui::WindowSystem& windows);

} // namespace quendra::com
