// Attribute definitions of a class: by name, by position and the keys of references.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedAttributeDefs.h"

#include "CvError.h"
#include "EmbeddedAttributeDef.h"

namespace quendra::embedded {

EmbeddedAttributeDefs::EmbeddedAttributeDefs(std::shared_ptr<Storage> storage, const ClassInfo& cls,
                                             std::vector<const AttributeInfo*> attributes)
    : storage_(std::move(storage)), cls_(cls), attributes_(std::move(attributes)), definitions_(attributes_.size()) {}

const Ptr<CvAttributeDef>& EmbeddedAttributeDefs::DefinitionAt(size_t position) {
    auto& definition = definitions_[position];
    if (!definition) definition = std::make_shared<EmbeddedAttributeDef>(storage_, cls_, *attributes_[position]);
    return definition;
}

Ptr<CvAttributeDefs> MakeAttributeDefs(const std::shared_ptr<Storage>& storage, const ClassInfo& cls) {
    std::vector<const AttributeInfo*> attributes;
    attributes.reserve(cls.attributes.size());
    for (const auto& attribute : cls.attributes) attributes.push_back(&attribute);
    return std::make_shared<EmbeddedAttributeDefs>(storage, cls, std::move(attributes));
}

Ptr<CvAttributeDef> EmbeddedAttributeDefs::DefinitionByName(const std::string& name) try {
    auto operation = storage_->Call(CvOperation::CvAttributeDefs_DefinitionByName);
    for (size_t i = 0; i < attributes_.size(); ++i)
        if (attributes_[i]->name == name) return DefinitionAt(i);
    throw CvError("the class \"" + cls_.name + "\" has no attribute \"" + name + "\"");
} catch (...) {
    storage_->Failed();
}

int32_t EmbeddedAttributeDefs::Count() try {
    auto operation = storage_->Call(CvOperation::CvAttributeDefs_Count);
    return static_cast<int32_t>(attributes_.size());
} catch (...) {
    storage_->Failed();
}

Ptr<CvAttributeDef> EmbeddedAttributeDefs::Item(int32_t position) try {
    auto operation = storage_->Call(CvOperation::CvAttributeDefs_Item);
    if (position < 0 || static_cast<size_t>(position) >= attributes_.size())
        throw CvError("there is no attribute definition at position " + std::to_string(position));
    return DefinitionAt(static_cast<size_t>(position));
} catch (...) {
    storage_->Failed();
}

int32_t EmbeddedAttributeDefs::KeyOf(const Ptr<CvAttributeDef>& definition) try {
    auto operation = storage_->Call(CvOperation::CvAttributeDefs_KeyOf);
    auto own = std::dynamic_pointer_cast<EmbeddedAttributeDef>(definition);
    if (!own) throw CvError("the attribute definition does not belong to this platform");
    const ClassInfo& owner = own->Class();
    auto found = owner.attributeIndex.find(own->Attribute().name);
    if (found == owner.attributeIndex.end()) throw CvError("the attribute definition has no key");
    return static_cast<int32_t>(found->second);
} catch (...) {
    storage_->Failed();
}

} // namespace quendra::embedded
