// A class of the model: its family, attributes and the link classes that join it to others.
#include "EmbeddedClass.h"

#include "CvError.h"
#include "EmbeddedAttributeDefs.h"

namespace quendra::embedded {

namespace {

class EmbeddedLinkClasses : public CvLinkClasses {
public:
    EmbeddedLinkClasses(std::shared_ptr<Storage> storage, std::vector<const ClassInfo*> classes)
        : storage_(std::move(storage)), classes_(std::move(classes)) {}
    int32_t Count() override {
        storage_->Call("CvLinkClasses.Count");
        return static_cast<int32_t>(classes_.size());
    }
    Ptr<CvClass> Item(int32_t position) override {
        storage_->Call("CvLinkClasses.Item");
        if (position < 0 || static_cast<size_t>(position) >= classes_.size())
            throw CvError("there is no link class at position " + std::to_string(position));
        return std::make_shared<EmbeddedClass>(storage_, *classes_[position]);
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
    Ptr<CvLinkClasses> LinkClassesTo(int16_t otherClassId) override {
        storage_->Call("CvClassLinks.LinkClassesTo");
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
    }

private:
    std::shared_ptr<Storage> storage_;
    const ClassInfo& cls_;
};

} // namespace

int16_t EmbeddedClass::ClassId() {
    storage_->Call("CvClass.ClassId");
    return cls_.id;
}

int16_t EmbeddedClass::SuperClassId() {
    storage_->Call("CvClass.SuperClassId");
    return cls_.superId;
}

std::string EmbeddedClass::Name() {
    storage_->Call("CvClass.Name");
    return cls_.name;
}

std::string EmbeddedClass::DisplayName() {
    storage_->Call("CvClass.DisplayName");
    return cls_.display;
}

bool EmbeddedClass::BelongsToClass(int16_t classId) {
    storage_->Call("CvClass.BelongsToClass");
    return storage_->GetModel().Includes(classId, cls_.id);
}

bool EmbeddedClass::IncludesClass(int16_t classId) {
    storage_->Call("CvClass.IncludesClass");
    return storage_->GetModel().Includes(cls_.id, classId);
}

bool EmbeddedClass::HasAttribute(const std::string& name) {
    storage_->Call("CvClass.HasAttribute");
    return cls_.Attribute(name) != nullptr;
}

Ptr<CvAttributeDefs> EmbeddedClass::AttributeDefs() {
    storage_->Call("CvClass.AttributeDefs");
    return MakeAttributeDefs(storage_, cls_);
}

Ptr<CvClassLinks> EmbeddedClass::LinkClasses() {
    storage_->Call("CvClass.LinkClasses");
    return std::make_shared<EmbeddedClassLinks>(storage_, cls_);
}

} // namespace quendra::embedded
