// ClsLock: the component's own lock on parts and documents.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "WindowSystem.h"

#include <cstdint>
#include <string>

namespace quendra {

class ClsLock {
public:
    explicit ClsLock(ui::WindowSystem& Windows);

    // True when the logged-in user may change Obj; otherwise shows why and answers False.
    bool LockMechanism(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj);
    int16_t LockObject(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn);
    int16_t UnLockObject(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn);
    // True when row 0's object is locked by somebody else (the warning has been shown).
    bool IsLockedForUpdate(const Ptr<CvSession>& CvSession, const Ptr<CvRecList>& RecListIn);

private:
    std::string GetLockHolderName(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj);
    bool UnlockChildren(const Ptr<CvObject>& Obj, const Ptr<CvObjects>& Children);

    ui::WindowSystem& windows_;
};

} // namespace quendra
