// EmbeddedObjects: a list of platform objects.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "PlatformDialogs.h"
#include "Spare.h"
#include "Storage.h"

#include <memory>
#include <vector>

namespace quendra::embedded {

class EmbeddedObjects : public CvObjects {
public:
    explicit EmbeddedObjects(std::shared_ptr<Storage> storage) : storage_(std::move(storage)) {}
    void Add(const Ptr<CvObject>& object) override;
    int32_t Count() override;
    Ptr<CvObject> Item(int32_t position) override;

    const std::vector<Ptr<CvObject>>& Items() const { return items_; }
    void Append(Ptr<CvObject> object) { items_.push_back(std::move(object)); }

private:
    friend class SpareObjects;

    std::shared_ptr<Storage> storage_;
    std::vector<Ptr<CvObject>> items_;
};

// New lists for one maker: the list made last is emptied and handed out again once nobody else holds it.
class SpareObjects {
public:
    std::shared_ptr<EmbeddedObjects> Next(const std::shared_ptr<Storage>& storage) {
        if (EmbeddedObjects* list = last_.Unheld()) {
            list->items_.clear();
            return last_.Kept();
        }
        return last_.Keep(std::make_shared<EmbeddedObjects>(storage));
    }
    // Empties the list made last once nobody else holds it.
    void Release() {
        if (EmbeddedObjects* list = last_.Unheld()) list->items_.clear();
    }

private:
    Spare<EmbeddedObjects> last_;
};

// The keys of the objects in a list, for the event log.
std::vector<ObjectKey> KeysOf(const Ptr<CvObjects>& objects);

} // namespace quendra::embedded
