// EmbeddedGUIServices: the desktop's object view notifier, whose notifications go to the event log.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "SessionContext.h"

namespace quendra::embedded {

class EmbeddedGUIServices : public CvGUIServices {
public:
    explicit EmbeddedGUIServices(Context context) : context_(std::move(context)) {}
    Ptr<CvGUINotifier> ObjectViewNotifier() override;

private:
    Context context_;
    Ptr<CvGUINotifier> notifier_; // made on first use; it holds nothing but the context
};

} // namespace quendra::embedded
