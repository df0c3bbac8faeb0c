// One attribute definition: names, type, flags, lookup table and reference.
#include "EmbeddedAttributeDef.h"

#include "CvError.h"
#include "EmbeddedAttributeDefs.h"

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

} // namespace

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
