// EmbeddedMetaInfo: the class directory of the model.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "EmbeddedClass.h"
#include "Storage.h"

#include <array>
#include <cstddef>
#include <memory>
#include <optional>

namespace quendra::embedded {

class EmbeddedMetaInfo : public CvMetaInfo {
public:
    EmbeddedMetaInfo(std::shared_ptr<Storage> storage, std::shared_ptr<ClassViews> classes)
        : storage_(std::move(storage)), classes_(std::move(classes)) {}
    Ptr<CvClass> ClassByName(const std::string& name) override;
    Ptr<CvClass> ClassById(int16_t classId) override;
    int16_t LinkClassBetween(int16_t parentClassId, int16_t childClassId) override;

    // The first link class whose parent end takes the parent class and child end the child class.
    static const ClassInfo* FindLinkClass(const Model& model, int16_t parentClassId, int16_t childClassId);

private:
    std::shared_ptr<Storage> storage_;
    std::shared_ptr<ClassViews> classes_;
    std::array<const ClassInfo*, 4> recentByName_{}; // the classes last found by name
    size_t nextRecent_ = 0;                          // where the next one found goes
    // The link class last found between two classes.
    struct LinkBetween {
        int16_t parentClassId;
        int16_t childClassId;
        int16_t linkClassId;
    };
    std::optional<LinkBetween> lastLink_;
};

} // namespace quendra::embedded
