// One attribute definition: names, type, flags, lookup table and reference.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedAttributeDef.h"

#include "CvError.h"
#include "EmbeddedAttributeDefs.h"

namespace quendra::embedded {

namespace {

class EmbeddedReference : public CvReference {
public:
    EmbeddedReference(std::shared_ptr<Storage> storage, const ReferenceInfo& reference)
        : storage_(std::move(storage)), reference_(reference) {}
    std::string ReferenceText() override try {
        auto operation = storage_->Call(CvOperation::CvReference_ReferenceText);
        return reference_.text;
    } catch (...) {
        storage_->Failed();
    }
    Ptr<CvAttributeDefs> DisplayAttributes() override try {
        auto operation = storage_->Call(CvOperation::CvReference_DisplayAttributes);
        const ClassInfo& target = storage_->Class(reference_.classId);
        std::vector<const AttributeInfo*> attributes;
        for (const auto& name : reference_.display) attributes.push_back(target.Attribute(name));
        return std::make_shared<EmbeddedAttributeDefs>(storage_, target, std::move(attributes));
    } catch (...) {
        storage_->Failed();
    }

private:
    std::shared_ptr<Storage> storage_;
    const ReferenceInfo& reference_;
};

} // namespace

std::string EmbeddedAttributeDef::Name() try {
    auto operation = storage_->Call(CvOperation::CvAttributeDef_Name);
    return attribute_.name;
} catch (...) {
    storage_->Failed();
}

std::string EmbeddedAttributeDef::DisplayName() try {
    auto operation = storage_->Call(CvOperation::CvAttributeDef_DisplayName);
    return attribute_.display;
} catch (...) {
    storage_->Failed();
}

int32_t EmbeddedAttributeDef::TypeCode() try {
    auto operation = storage_->Call(CvOperation::CvAttributeDef_TypeCode);
    return attribute_.type;
} catch (...) {
    storage_->Failed();
}

bool EmbeddedAttributeDef::IsMandatory() try {
    auto operation = storage_->Call(CvOperation::CvAttributeDef_IsMandatory);
    return attribute_.mandatory;
} catch (...) {
    storage_->Failed();
}

bool EmbeddedAttributeDef::IsPrimary(const std::string& name) try {
    auto operation = storage_->Call(CvOperation::CvAttributeDef_IsPrimary);
    const AttributeInfo* named = cls_.Attribute(name);
    return named && named->primary;
} catch (...) {
    storage_->Failed();
}

int32_t EmbeddedAttributeDef::LookupTableId() try {
    auto operation = storage_->Call(CvOperation::CvAttributeDef_LookupTableId);
    return attribute_.lookupId;
} catch (...) {
    storage_->Failed();
}

Ptr<CvReference> EmbeddedAttributeDef::Reference() try {
    auto operation = storage_->Call(CvOperation::CvAttributeDef_Reference);
    if (!attribute_.reference) return nullptr;
    return std::make_shared<EmbeddedReference>(storage_, *attribute_.reference);
} catch (...) {
    storage_->Failed();
}

} // namespace quendra::embedded
