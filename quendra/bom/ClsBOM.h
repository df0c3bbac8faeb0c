// ClsBOM: the parts-tree (bill of materials) operations.
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
    bool ReplacePart(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn, const StringListPtr& LinkAttributes,
                     bool ByNewPart, Ptr<CvObject>& MyNewPart);

private:
    ui::WindowSystem& windows_;
};

} // namespace quendra
