// EmbeddedSessionUtil: showing an object on the desktop, recorded as an event.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "SessionContext.h"

namespace quendra::embedded {

class EmbeddedSessionUtil : public CvSessionUtil {
public:
    explicit EmbeddedSessionUtil(Context context) : context_(std::move(context)) {}
    void ShowObject(const Ptr<CvObject>& object, const Ptr<CvObject>& other, bool flag) override;

private:
    Context context_;
};

} // namespace quendra::embedded
