// EmbeddedFlowStore: the workflow: processes of the model's process classes, their steps and the user's work list.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "SessionContext.h"

namespace quendra::embedded {

class EmbeddedFlowStore : public CvFlowStore {
public:
    explicit EmbeddedFlowStore(Context context) : context_(std::move(context)) {}
    Ptr<CvFlowWorkList> WorkList() override;
    Ptr<CvFlowProcess> NewProcess(int16_t processClassId) override;

private:
    Context context_;
};

} // namespace quendra::embedded
