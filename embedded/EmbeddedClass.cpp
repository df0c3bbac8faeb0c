// A class of the model: its family, attributes and the link classes that join it to others.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedClass.h"

#include "CvError.h"
#include "EmbeddedAttributeDefs.h"

#include <functional>

namespace quendra::embedded {

const Ptr<CvClass>& ClassViews::Of(const ClassInfo& cls) {
    const auto& classes = storage_->GetModel().classes;
    const std::less<const ClassInfo*> before;
    if (before(&cls, classes.data()) || !before(&cls, classes.data() + classes.size()))
        throw CvError("the class \"" + cls.name + "\" is not one of the model's");
    const auto position = static_cast<size_t>(&cls - classes.data());
    if (views_.size() != classes.size()) views_.resize(classes.size());
    auto& view = views_[position];
    if (!view) view = std::make_shared<EmbeddedClass>(storage_, cls);
    return view;
}

namespace {

class EmbeddedLinkClasses : public CvLinkClasses {
public:
    EmbeddedLinkClasses(std::shared_ptr<Storage> storage, std::vector<const ClassInfo*> classes)
        : storage_(std::move(storage)), classes_(std::move(classes)) {}
    int32_t Count() override try {
        auto operation = storage_->Call(CvOperation::CvLinkClasses_Count);
        return static_cast<int32_t>(classes_.size());
    } catch (...) {
        storage_->Failed();
    }
    Ptr<CvClass> Item(int32_t position) override try {
        auto operation = storage_->Call(CvOperation::CvLinkClasses_Item);
        if (position < 0 || static_cast<size_t>(position) >= classes_.size())
            throw CvError("there is no link class at position " + std::to_string(position));
        return std::make_shared<EmbeddedClass>(storage_, *classes_[position]);
    } catch (...) {
        storage_->Failed();
    }

private:
    std::shared_ptr<Storage> storage_;
    std::vector<const ClassInfo*> classes_;
};

class EmbeddedClassLinks : public CvClassLinks {
public:
    EmbeddedClassLinks(std::shared_ptr<Storage> storage, const ClassInfo& cls)
        : storage_(std::move(storage)), cls_(cls) {}
    // Link classes joining the two classes, whichever end this class takes.
    Ptr<CvLinkClasses> LinkClassesTo(int16_t otherClassId) override try {
        auto operation = storage_->Call(CvOperation::CvClassLinks_LinkClassesTo);
        const Model& model = storage_->GetModel();
        storage_->Class(otherClassId);
        auto fits = [&](int16_t end, int16_t classId) {
            return model.Includes(end, classId) || model.Includes(classId, end);
        };
        std::vector<const ClassInfo*> found;
        for (const auto& link : model.classes) {
            if (link.kind != ClassKind::Link) continue;
            if ((fits(link.parentId, cls_.id) && fits(link.childId, otherClassId)) ||
                (fits(link.childId, cls_.id) && fits(link.parentId, otherClassId)))
                found.push_back(&link);
        }
        return std::make_shared<EmbeddedLinkClasses>(storage_, std::move(found));
    } catch (...) {
        storage_->Failed();
    }

private:
    std::shared_ptr<Storage> storage_;
    const ClassInfo& cls_;
};

} // namespace

int16_t EmbeddedClass::ClassId() try {
    auto operation = storage_->Call(CvOperation::CvClass_ClassId);
    return cls_.id;
} catch (...) {
    storage_->Failed();
}

int16_t EmbeddedClass::SuperClassId() try {
    auto operation = storage_->Call(CvOperation::CvClass_SuperClassId);
    return cls_.superId;
} catch (...) {
    storage_->Failed();
}

std::string EmbeddedClass::Name() try {
    auto operation = storage_->Call(CvOperation::CvClass_Name);
    return cls_.name;
} catch (...) {
    storage_->Failed();
}

std::string EmbeddedClass::DisplayName() try {
    auto operation = storage_->Call(CvOperation::CvClass_DisplayName);
    return cls_.display;
} catch (...) {
    storage_->Failed();
}

bool EmbeddedClass::BelongsToClass(int16_t classId) try {
    auto operation = storage_->Call(CvOperation::CvClass_BelongsToClass);
    return storage_->GetModel().Includes(classId, cls_.id);
} catch (...) {
    storage_->Failed();
}

bool EmbeddedClass::IncludesClass(int16_t classId) try {
    auto operation = storage_->Call(CvOperation::CvClass_IncludesClass);
    return storage_->GetModel().Includes(cls_.id, classId);
} catch (...) {
    storage_->Failed();
}

bool EmbeddedClass::HasAttribute(const std::string& name) try {
    auto operation = storage_->Call(CvOperation::CvClass_HasAttribute);
    return cls_.Attribute(name) != nullptr;
} catch (...) {
    storage_->Failed();
}

Ptr<CvAttributeDefs> EmbeddedClass::AttributeDefs() try {
    auto operation = storage_->Call(CvOperation::CvClass_AttributeDefs);
    if (!definitions_) definitions_ = MakeAttributeDefs(storage_, cls_);
    return definitions_;
} catch (...) {
    storage_->Failed();
}

Ptr<CvClassLinks> EmbeddedClass::LinkClasses() try {
    auto operation = storage_->Call(CvOperation::CvClass_LinkClasses);
    return std::make_shared<EmbeddedClassLinks>(storage_, cls_);
} catch (...) {
    storage_->Failed();
}

} // namespace quendra::embedded
