// Object lists: adding, counting and items by position; their keys for the event log.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedObjects.h"

#include "CvError.h"
#include "EmbeddedObject.h"

namespace quendra::embedded {

void EmbeddedObjects::Add(const Ptr<CvObject>& object) try {
    auto operation = storage_->Call(CvOperation::CvObjects_Add);
    if (!object) throw CvError("an object list holds objects only");
    items_.push_back(object);
} catch (...) {
    storage_->Failed();
}

int32_t EmbeddedObjects::Count() try {
    auto operation = storage_->Call(CvOperation::CvObjects_Count);
    return static_cast<int32_t>(items_.size());
} catch (...) {
    storage_->Failed();
}

Ptr<CvObject> EmbeddedObjects::Item(int32_t position) try {
    auto operation = storage_->Call(CvOperation::CvObjects_Item);
    if (position < 0 || static_cast<size_t>(position) >= items_.size())
        throw CvError("the object list has no item at position " + std::to_string(position));
    return items_[position];
} catch (...) {
    storage_->Failed();
}

std::vector<ObjectKey> KeysOf(const Ptr<CvObjects>& objects) {
    std::vector<ObjectKey> keys;
    auto* own = dynamic_cast<EmbeddedObjects*>(objects.get());
    if (!own) return keys;
    for (const auto& object : own->Items())
        if (auto* item = dynamic_cast<EmbeddedObject*>(object.get())) keys.push_back(item->Key());
    return keys;
}

} // namespace quendra::embedded
