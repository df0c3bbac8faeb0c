// The class directory: classes and link classes of the model by name and id.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedMetaInfo.h"

#include "CvError.h"
#include "EmbeddedClass.h"

namespace quendra::embedded {

Ptr<CvClass> EmbeddedMetaInfo::ClassByName(const std::string& name) try {
    auto operation = storage_->Call(CvOperation::CvMetaInfo_ClassByName);
    // The hooks ask for the same few classes by name again and again, often once per entry of a list; the model's
    // classes never change, so the last ones found answer the same names without hashing them again.
    for (const ClassInfo* known : recentByName_)
        if (known && known->name == name) return classes_->Of(*known);
    const ClassInfo& found = storage_->Class(name);
    recentByName_[nextRecent_] = &found;
    nextRecent_ = (nextRecent_ + 1) % recentByName_.size();
    return classes_->Of(found);
} catch (...) {
    storage_->Failed();
}

Ptr<CvClass> EmbeddedMetaInfo::ClassById(int16_t classId) try {
    auto operation = storage_->Call(CvOperation::CvMetaInfo_ClassById);
    return classes_->Of(storage_->Class(classId));
} catch (...) {
    storage_->Failed();
}

const ClassInfo* EmbeddedMetaInfo::FindLinkClass(const Model& model, int16_t parentClassId, int16_t childClassId) {
    for (const auto& link : model.classes)
        if (link.kind == ClassKind::Link && model.Includes(link.parentId, parentClassId) &&
            model.Includes(link.childId, childClassId))
            return &link;
    return nullptr;
}

int16_t EmbeddedMetaInfo::LinkClassBetween(int16_t parentClassId, int16_t childClassId) try {
    auto operation = storage_->Call(CvOperation::CvMetaInfo_LinkClassBetween);
    // Each link made asks for the link class between the same two classes; the model's classes never change.
    if (lastLink_ && lastLink_->parentClassId == parentClassId && lastLink_->childClassId == childClassId)
        return lastLink_->linkClassId;
    const ClassInfo& parent = storage_->Class(parentClassId);
    const ClassInfo& child = storage_->Class(childClassId);
    const ClassInfo* link = FindLinkClass(storage_->GetModel(), parentClassId, childClassId);
    if (!link) throw CvError("there is no link class from \"" + parent.name + "\" to \"" + child.name + "\"");
    lastLink_ = LinkBetween{parentClassId, childClassId, link->id};
    return link->id;
} catch (...) {
    storage_->Failed();
}

} // namespace quendra::embedded
