// EmbeddedAttributeDef: one attribute definition of a class.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "Storage.h"

#include <memory>
#include <string>
#include <vector>

namespace quendra::embedded {

class EmbeddedAttributeDef : public CvAttributeDef {
public:
    EmbeddedAttributeDef(std::shared_ptr<Storage> storage, const ClassInfo& cls, const AttributeInfo& attribute)
        : storage_(std::move(storage)), cls_(cls), attribute_(attribute) {}
    std::string Name() override;
    std::string DisplayName() override;
    int32_t TypeCode() override;
    bool IsMandatory() override;
    bool IsPrimary(const std::string& name) override;
    int32_t LookupTableId() override;
    Ptr<CvReference> Reference() override;

    const ClassInfo& Class() const { return cls_; }
    const AttributeInfo& Attribute() const { return attribute_; }

private:
    std::shared_ptr<Storage> storage_;
    const ClassInfo& cls_;
    const AttributeInfo& attribute_;
};

} // namespace quendra::embedded
