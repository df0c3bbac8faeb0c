// ClsBOM: the parts-tree (bill of materials) operations.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "StringList.h"
#include "WindowSystem.h"

#include <cstdint>

namespace quendra {

class ClsBOM {
public:
    explicit ClsBOM(ui::WindowSystem& Windows);

    bool AddExistingPart(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj,
                         const StringListPtr& LinkAttributesCollection);
    bool AddNewPart(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj, const StringListPtr& LinkAttributes);
    bool AddMainPart(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj);
    // The new, stored part, or none when the user cancelled or storing it failed.
    Ptr<CvObject> CreateNewPart(const Ptr<CvSession>& Session);
    // FromObj is in and out: an empty one is set to the part the user picks.
    bool CopyTreeFrom(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj, Ptr<CvObject>& FromObj,
                      const StringListPtr& LinkAttributesCollection);
    int16_t DeleteLink(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn);
    bool LinkUpdate(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn,
                    const StringListPtr& LinkAttributesCollection);
    // MyNewPart is in and out: set to the replacement on success only.
    bool ReplacePart(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn,
                     const StringListPtr& LinkAttributes, bool ByNewPart, Ptr<CvObject>& MyNewPart);

private:
    // Steps shared by CreateNewPart and AddMainPart: a numbered new part that the user filled in
    // until its mandatory attributes hold values; none when the user cancelled. Nothing is stored.
    Ptr<CvObject> FillInNewPart(const Ptr<CvSession>& Session);
    // Both ends of the link belong to "Parts".
    bool JoinsTwoParts(const Ptr<CvSession>& Session, const Ptr<CvObject>& Link);
    // The parent part of a link, as the store gives it.
    Ptr<CvObject> ParentOfLink(const Ptr<CvSession>& Session, const Ptr<CvObject>& Link);

    ui::WindowSystem& windows_;
};

} // namespace quendra
