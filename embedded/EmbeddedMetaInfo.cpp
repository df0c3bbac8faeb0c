// The class directory: classes, link classes and attribute definitions of the model.
#include "EmbeddedMetaInfo.h"

#include "CvError.h"

namespace quendra::embedded {

namespace {

class EmbeddedReference : public CvReference {
public:
    EmbeddedReference(std::shared_ptr<Storage> storage, const ReferenceInfo& reference)
        : storage_(std::move(storage)), reference_(reference) {}
    std::string ReferenceText() override {
        storage_->Call("CvReference.ReferenceText");
        return reference_.text;
    }
    Ptr<CvAttributeDefs> DisplayAttributes() override {
        storage_->Call("CvReference.DisplayAttributes");
        const ClassInfo& target = storage_->Class(reference_.classId);
        std::vector<const AttributeInfo*> attributes;
        for (const auto& name : reference_.display) attributes.push_back(target.Attribute(name));
        return std::make_shared<EmbeddedAttributeDefs>(storage_, target, std::move(attributes));
    }

private:
    std::shared_ptr<Storage> storage_;
    const ReferenceInfo& reference_;
};

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

Ptr<CvClass> EmbeddedMetaInfo::ClassByName(const std::string& name) {
    storage_->Call("CvMetaInfo.ClassByName");
    return std::make_shared<EmbeddedClass>(storage_, storage_->Class(name));
}

Ptr<CvClass> EmbeddedMetaInfo::ClassById(int16_t classId) {
    storage_->Call("CvMetaInfo.ClassById");
    return std::make_shared<EmbeddedClass>(storage_, storage_->Class(classId));
}

const ClassInfo* EmbeddedMetaInfo::FindLinkClass(const Model& model, int16_t parentClassId, int16_t childClassId) {
    for (const auto& link : model.classes)
        if (link.kind == ClassKind::Link && model.Includes(link.parentId, parentClassId) &&
            model.Includes(link.childId, childClassId))
            return &link;
    return nullptr;
}

int16_t EmbeddedMetaInfo::LinkClassBetween(int16_t parentClassId, int16_t childClassId) {
    storage_->Call("CvMetaInfo.LinkClassBetween");
    const ClassInfo& parent = storage_->Class(parentClassId);
    const ClassInfo& child = storage_->Class(childClassId);
    const ClassInfo* link = FindLinkClass(storage_->GetModel(), parentClassId, childClassId);
    if (!link) throw CvError("there is no link class from \"" + parent.name + "\" to \"" + child.name + "\"");
    return link->id;
}

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

EmbeddedAttributeDefs::EmbeddedAttributeDefs(std::shared_ptr<Storage> storage, const ClassInfo& cls,
                                             std::vector<const AttributeInfo*> attributes)
    : storage_(std::move(storage)), cls_(cls), attributes_(std::move(attributes)) {}

Ptr<CvAttributeDefs> MakeAttributeDefs(const std::shared_ptr<Storage>& storage, const ClassInfo& cls) {
    std::vector<const AttributeInfo*> attributes;
    attributes.reserve(cls.attributes.size());
    for (const auto& attribute : cls.attributes) attributes.push_back(&attribute);
    return std::make_shared<EmbeddedAttributeDefs>(storage, cls, std::move(attributes));
}

Ptr<CvAttributeDef> EmbeddedAttributeDefs::DefinitionByName(const std::string& name) {
    storage_->Call("CvAttributeDefs.DefinitionByName");
    for (const AttributeInfo* attribute : attributes_)
        if (attribute->name == name) return std::make_shared<EmbeddedAttributeDef>(storage_, cls_, *attribute);
    throw CvError("the class \"" + cls_.name + "\" has no attribute \"" + name + "\"");
}

int32_t EmbeddedAttributeDefs::Count() {
    storage_->Call("CvAttributeDefs.Count");
    return static_cast<int32_t>(attributes_.size());
}

Ptr<CvAttributeDef> EmbeddedAttributeDefs::Item(int32_t position) {
    storage_->Call("CvAttributeDefs.Item");
    if (position < 0 || static_cast<size_t>(position) >= attributes_.size())
        throw CvError("there is no attribute definition at position " + std::to_string(position));
    return std::make_shared<EmbeddedAttributeDef>(storage_, cls_, *attributes_[position]);
}

int32_t EmbeddedAttributeDefs::KeyOf(const Ptr<CvAttributeDef>& definition) {
    storage_->Call("CvAttributeDefs.KeyOf");
    auto own = std::dynamic_pointer_cast<EmbeddedAttributeDef>(definition);
    if (!own) throw CvError("the attribute definition does not belong to this platform");
    const ClassInfo& owner = own->Class();
    auto found = owner.attributeIndex.find(own->Attribute().name);
    if (found == owner.attributeIndex.end()) throw CvError("the attribute definition has no key");
    return static_cast<int32_t>(found->second);
}

std::string EmbeddedAttributeDef::Name() {
    storage_->Call("CvAttributeDef.Name");
    return attribute_.name;
}

std::string EmbeddedAttributeDef::DisplayName() {
    storage_->Call("CvAttributeDef.DisplayName");
    return attribute_.display;
}

int32_t EmbeddedAttributeDef::TypeCode() {
    storage_->Call("CvAttributeDef.TypeCode");
    return attribute_.type;
}

bool EmbeddedAttributeDef::IsMandatory() {
    storage_->Call("CvAttributeDef.IsMandatory");
    return attribute_.mandatory;
}

bool EmbeddedAttributeDef::IsPrimary(const std::string& name) {
    storage_->Call("CvAttributeDef.IsPrimary");
    const AttributeInfo* named = cls_.Attribute(name);
    return named && named->primary;
}

int32_t EmbeddedAttributeDef::LookupTableId() {
    storage_->Call("CvAttributeDef.LookupTableId");
    return attribute_.lookupId;
}

Ptr<CvReference> EmbeddedAttributeDef::Reference() {
    storage_->Call("CvAttributeDef.Reference");
    if (!attribute_.reference) return nullptr;
    return std::make_shared<EmbeddedReference>(storage_, *attribute_.reference);
}

} // namespace quendra::embedded
