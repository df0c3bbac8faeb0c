// The component's platform over the automation objects a script passes to a hook.
// SPDX-License-Identifier: Apache-2.0
#include "AutomationPlatform.h"

#include "AutomationAdapter.h"

namespace quendra::com {

Ptr<CvSession> SessionOver(const DispatchPtr& object) {
    return object ? std::make_shared<Auto<CvSession>>(object) : nullptr;
}

Ptr<CvRecList> RecListOver(const DispatchPtr& object) {
    return object ? std::make_shared<Auto<CvRecList>>(object) : nullptr;
}

Ptr<CvObject> ObjectOver(const DispatchPtr& object) {
    return object ? std::make_shared<Auto<CvObject>>(object) : nullptr;
}

DispatchPtr DispatchOfObject(const Ptr<CvObject>& object) {
    return DispatchOf(object);
}

} // namespace quendra::com
