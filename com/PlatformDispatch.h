// The platform interfaces offered over automation: an automation object whose members are the
// operations of the name table (com/AutomationNames.cpp), called on a platform object. The embedded
// platform reaches scripts this way, and through them Quendra.Application.
#pragma once

#include "Automation.h"
#include "CvPlatform.h"

namespace quendra::com {

// An empty pointer for none.
DispatchPtr DispatchOver(const Ptr<CvSession>& session);
DispatchPtr DispatchOver(const Ptr<CvRecList>& recList);
DispatchPtr DispatchOver(const Ptr<CvObject>& object);

} // namespace quendra::com
