// EmbeddedMetaInfo: the class directory of the model, and the class and attribute views it hands out.
#pragma once

#include "CvPlatform.h"
#include "Storage.h"

#include <memory>

namespace quendra::embedded {

class EmbeddedMetaInfo : public CvMetaInfo {
public:
    explicit EmbeddedMetaInfo(std::shared_ptr<Storage> storage) : storage_(std::move(storage)) {}
    Ptr<CvClass> ClassByName(const std::string& name) override;
    Ptr<CvClass> ClassById(int16_t classId) override;
    int16_t LinkClassBetween(int16_t parentClassId, int16_t childClassId) override;

    // The first link class whose parent end takes the parent class and child end the child class.
    static const ClassInfo* FindLinkClass(const Model& model, int16_t parentClassId, int16_t childClassId);

private:
    std::shared_ptr<Storage> storage_;
};

class EmbeddedClass : public CvClass {
public:
    EmbeddedClass(std::shared_ptr<Storage> storage, const ClassInfo& cls) : storage_(std::move(storage)), cls_(cls) {}
    int16_t ClassId() override;
    int16_t SuperClassId() override;
    std::string Name() override;
    std::string DisplayName() override;
    bool BelongsToClass(int16_t classId) override;
    bool IncludesClass(int16_t classId) override;
    bool HasAttribute(const std::string& name) override;
    Ptr<CvAttributeDefs> AttributeDefs() override;
    Ptr<CvClassLinks> LinkClasses() override;

private:
    std::shared_ptr<Storage> storage_;
    const ClassInfo& cls_;
};

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
};

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

// Every attribute of the class, in the class's order.
Ptr<CvAttributeDefs> MakeAttributeDefs(const std::shared_ptr<Storage>& storage, const ClassInfo& cls);

} // namespace quendra::embedded
