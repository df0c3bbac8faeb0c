// The platform interfaces on automation objects: what a script passes to a hook becomes the
// component's platform, and objects the component hands back become automation objects again.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Automation.h"
#include "CvPlatform.h"

namespace quendra::com {

// None for an empty pointer.
Ptr<CvSession> SessionOver(const DispatchPtr& object);
Ptr<CvRecList> RecListOver(const DispatchPtr& object);
Ptr<CvObject> ObjectOver(const DispatchPtr& object);

// The automation object behind an object of the adapter; an empty pointer for none. An object
// that did not come from automation throws CvError.
DispatchPtr DispatchOfObject(const Ptr<CvObject>& object);

} // namespace quendra::com
