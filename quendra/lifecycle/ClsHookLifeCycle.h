// ClsHookLifeCycle: the checks before life-cycle operations and the relinking after check-in.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "WindowSystem.h"

#include <string>

namespace quendra {

class ClsHookLifeCycle {
public:
    explicit ClsHookLifeCycle(ui::WindowSystem& Windows);

    bool AfterCheckInDocuments(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn);
    bool BeforeAddPartsTreeLink(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn);
    bool BeforeCheckOutReleaseDocs(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj,
                                   const std::string& SelectOp);
    bool BeforeDeleteDocuments(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj);
    bool BeforeNewReleaseObj(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj);
    bool BeforeUpdate(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj, const std::string& SelectOp);

private:
    ui::WindowSystem& windows_;
};

} // namespace quendra
