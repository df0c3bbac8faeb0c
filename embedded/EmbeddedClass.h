// EmbeddedClass: one class of the model as the platform shows it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "Storage.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace quendra::embedded {

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
    Ptr<CvAttributeDefs> definitions_; // made on first use; the class's attributes never change
};

// The class objects of one session, each made once: a class object holds no state of its own, and the
// component asks for the class of an object many times in every hook.
class ClassViews {
public:
    explicit ClassViews(std::shared_ptr<Storage> storage) : storage_(std::move(storage)) {}
    const Ptr<CvClass>& Of(const ClassInfo& cls);

private:
    std::shared_ptr<Storage> storage_;
    std::vector<Ptr<CvClass>> views_; // by the class's position in the model
};

} // namespace quendra::embedded
