// The session: its store, class directory, user and service objects.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedSession.h"

#include "CvError.h"
#include "EmbeddedCommonGUI.h"
#include "EmbeddedFlow.h"
#include "EmbeddedGUIServices.h"
#include "EmbeddedIntegrationStore.h"
#include "EmbeddedMetaInfo.h"
#include "EmbeddedObjectStore.h"
#include "EmbeddedSessionUtil.h"

namespace quendra::embedded {

namespace {

class EmbeddedUserInfo : public CvUserInfo {
public:
    explicit EmbeddedUserInfo(Context context) : context_(std::move(context)) {}
    int32_t UserObjectId() override try {
        auto operation = context_->storage->Call(CvOperation::CvUserInfo_UserObjectId);
        return context_->userId;
    } catch (...) {
        context_->storage->Failed();
    }
    bool IsAdministrator() override try {
        auto operation = context_->storage->Call(CvOperation::CvUserInfo_IsAdministrator);
        return context_->admin;
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
};

} // namespace

Ptr<CvObjectStore> EmbeddedSession::ObjectStore() try {
    auto operation = context_->storage->Call(CvOperation::CvSession_ObjectStore);
    if (!store_) store_ = std::make_shared<EmbeddedObjectStore>(context_);
    return store_;
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvMetaInfo> EmbeddedSession::MetaInfo() try {
    auto operation = context_->storage->Call(CvOperation::CvSession_MetaInfo);
    if (!metaInfo_) metaInfo_ = std::make_shared<EmbeddedMetaInfo>(context_->storage, context_->classes);
    return metaInfo_;
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvUserInfo> EmbeddedSession::CurrentUser() try {
    auto operation = context_->storage->Call(CvOperation::CvSession_CurrentUser);
    if (!user_) user_ = std::make_shared<EmbeddedUserInfo>(context_);
    return user_;
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvDispatch> EmbeddedSession::CreateObject(const std::string& progId) try {
    auto operation = context_->storage->Call(CvOperation::CvSession_CreateObject);
    for (const auto& [name, made] : services_)
        if (name == progId) return made;
    Ptr<CvDispatch> made;
    if (progId == "CvFlow.CvFlowStore")
        made = std::make_shared<EmbeddedFlowStore>(context_);
    else if (progId == "CvGUISrv.CvGUIServices")
        made = std::make_shared<EmbeddedGUIServices>(context_);
    else if (progId == "CvGUISrv.CvCommonGUI")
        made = std::make_shared<EmbeddedCommonGUI>(context_);
    else if (progId == "CvIntegrationTool.CvIntegrationStore")
        made = std::make_shared<EmbeddedIntegrationStore>(context_);
    else if (progId == "CvUtil.CvSessionUtil")
        made = std::make_shared<EmbeddedSessionUtil>(context_);
    else
        throw CvError("the platform object " + progId + " cannot be created");
    services_.emplace_back(progId, made);
    return made;
} catch (...) {
    context_->storage->Failed();
}

} // namespace quendra::embedded
