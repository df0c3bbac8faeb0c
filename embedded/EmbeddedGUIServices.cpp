// Notifications of added, changed and deleted objects, recorded as events.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedGUIServices.h"

#include "EmbeddedObjects.h"

namespace quendra::embedded {

namespace {

class EmbeddedGUINotifier : public CvGUINotifier {
public:
    explicit EmbeddedGUINotifier(Context context) : context_(std::move(context)) {}
    void NotifyObjects(int32_t code, const Ptr<CvObjects>& objects, bool flag) override try {
        auto operation = context_->storage->Call(CvOperation::CvGUINotifier_NotifyObjects);
        context_->storage->Record(events::Notify{code, KeysOf(objects), flag});
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
};

} // namespace

Ptr<CvGUINotifier> EmbeddedGUIServices::ObjectViewNotifier() try {
    auto operation = context_->storage->Call(CvOperation::CvGUIServices_ObjectViewNotifier);
    if (!notifier_) notifier_ = std::make_shared<EmbeddedGUINotifier>(context_);
    return notifier_;
} catch (...) {
    context_->storage->Failed();
}

} // namespace quendra::embedded
