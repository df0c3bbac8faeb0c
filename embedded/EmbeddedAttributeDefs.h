// EmbeddedAttributeDefs: the attribute definitions of a class, or a chosen few of them.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "Storage.h"

#include <memory>
#include <string>
#include <vector>

namespace quendra::embedded {

class EmbeddedAttributeDefs : public CvAttributeDefs {
public:
    // All attributes of the class, or only those named.
    EmbeddedAttributeDefs(std::shared_ptr<Storage> storage, const ClassInfo& cls,
                          std::vector<const AttributeInfo*> attributes);
    Ptr<CvAttributeDef> DefinitionByName(const std::string& name) override;
    int32_t Count() override;
    Ptr<CvAttributeDef> Item(int32_t position) override;
    int32_t KeyOf(const Ptr<CvAttributeDef>& definition) override;

private:
    std::shared_ptr<Storage> storage_;
    const ClassInfo& cls_;
    std::vector<const AttributeInfo*> attributes_;
    // The definition of each attribute, made on first use: a definition only shows its attribute.
    std::vector<Ptr<CvAttributeDef>> definitions_;
    const Ptr<CvAttributeDef>& DefinitionAt(size_t position);
};

// Every attribute of the class, in the class's order.
Ptr<CvAttributeDefs> MakeAttributeDefs(const std::shared_ptr<Storage>& storage, const ClassInfo& cls);

} // namespace quendra::embedded
