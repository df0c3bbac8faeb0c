// Showing an object: recorded as an event.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedSessionUtil.h"

#include "EmbeddedObject.h"

namespace quendra::embedded {

void EmbeddedSessionUtil::ShowObject(const Ptr<CvObject>& object, const Ptr<CvObject>&, bool flag) try {
    auto operation = context_->storage->Call(CvOperation::CvSessionUtil_ShowObject);
    context_->storage->Record(events::Show{Own(object).Key(), flag});
} catch (...) {
    context_->storage->Failed();
}

} // namespace quendra::embedded
