// EmbeddedSession: one logged-in user's session, and the service objects it creates by name.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "SessionContext.h"

#include <string>
#include <utility>
#include <vector>

namespace quendra::embedded {

class EmbeddedSession : public CvSession {
public:
    explicit EmbeddedSession(Context context) : context_(std::move(context)) {}
    Ptr<CvObjectStore> ObjectStore() override;
    Ptr<CvMetaInfo> MetaInfo() override;
    Ptr<CvUserInfo> CurrentUser() override;
    Ptr<CvDispatch> CreateObject(const std::string& progId) override;

private:
    Context context_;
    // Made on first use and handed out again: they hold nothing but the session's context.
    Ptr<CvObjectStore> store_;
    Ptr<CvMetaInfo> metaInfo_;
    Ptr<CvUserInfo> user_;
    // The service objects by name, made on first use: they too hold nothing but the context.
    std::vector<std::pair<std::string, Ptr<CvDispatch>>> services_;
};

} // namespace quendra::embedded
