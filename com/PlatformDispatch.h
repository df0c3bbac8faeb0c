// The platform interfaces offered over automation: an automation object whose members are the
// operations of CvPlatform.def (by their automation names), called on a platform object. The embedded
// platform reaches scripts this way, and through them Quendra.Application.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Automation.h"
#include "CvPlatform.h"

#include <memory>

namespace quendra::com {

// An empty pointer for none. `keepAlive` is held by the automation object and by every object that
// its operations answer, for what the platform objects need alive beside themselves.
DispatchPtr DispatchOver(const Ptr<CvSession>& session, const std::shared_ptr<void>& keepAlive);
DispatchPtr DispatchOver(const Ptr<CvRecList>& recList, const std::shared_ptr<void>& keepAlive);
DispatchPtr DispatchOver(const Ptr<CvObject>& object, const std::shared_ptr<void>& keepAlive);

// The platform object behind an automation object of this kind; another object throws CvError.
Ptr<CvObject> ObjectBehind(const DispatchPtr& object);

} // namespace quendra::com
