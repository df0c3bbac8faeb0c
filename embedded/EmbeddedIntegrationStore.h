// EmbeddedIntegrationStore: the new-object dialog, shown through the platform dialogs.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "SessionContext.h"

namespace quendra::embedded {

class EmbeddedIntegrationStore : public CvIntegrationStore {
public:
    explicit EmbeddedIntegrationStore(Context context) : context_(std::move(context)) {}
    Ptr<CvNewObjectDialog> NewObjectDialog() override;

private:
    Context context_;
};

} // namespace quendra::embedded
