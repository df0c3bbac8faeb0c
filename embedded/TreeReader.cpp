// Reading a tree straight from the tables, with the same values, display texts and link filters as the
// platform's tree links.
// SPDX-License-Identifier: Apache-2.0
#include "TreeReader.h"

#include "PlatformDatabase.h"
#include "ReadSnapshot.h"

#include <stdexcept>

namespace quendra::embedded {

namespace {

TreeEntry EntryOf(Storage& storage, const RecordData& data, int32_t objectId, const std::string& separator) {
    const ClassInfo& cls = *data.cls;
    TreeEntry entry;
    entry.object = {cls.id, objectId};
    entry.className = cls.name;
    entry.displayText = storage.DisplayText(cls, objectId, &data, separator);
    int locked = data.Find("CN_LOCKED");
    if (locked >= 0 && cls.Attribute("CN_LOCKED")) {
        entry.locked = data.values[locked].AsBool();
        if (entry.locked) entry.lockHolder = data.Get("USER_OBJECT_ID").AsInt32();
    }
    return entry;
}

} // namespace

TreeReader::TreeReader(Database& database, std::string separator) : separator_(std::move(separator)) {
    auto* own = dynamic_cast<PlatformDatabase*>(&database);
    if (!own) throw std::invalid_argument("the tree reader reads databases of the embedded platform only");
    storage_ = own->StorageOf();
    snapshot_ = std::make_unique<ReadSnapshot>(storage_->Sql());
}

TreeReader::~TreeReader() = default;

std::optional<TreeEntry> TreeReader::Object(ObjectKey key) {
    auto data = storage_->Load(key.classId, key.objectId);
    if (!data) return std::nullopt;
    return EntryOf(*storage_, *data, key.objectId, separator_);
}

TreeReader::Page TreeReader::Below(ObjectKey parent, int32_t after, size_t count) {
    Page page;
    const ClassInfo& parentClass = storage_->Class(parent.classId);
    auto links = storage_->LinksBelowAfter(parentClass, parent.objectId, after, count);
    page.lastLink = links.lastLinkId;
    page.more = links.more;
    if (links.links.empty()) return page;
    page.entries.reserve(links.links.size());
    auto children = storage_->ReadChildren(links);
    for (const auto& [row, values] : links.links) {
        auto child = children.Take(row);
        if (!child) continue;
        TreeEntry entry = EntryOf(*storage_, *child, row.childId, separator_);
        const ClassInfo& linkClass = *values.cls;
        entry.link = {linkClass.id, row.linkId};
        entry.linkClassName = linkClass.name;
        for (size_t i = 0; i < linkClass.attributes.size(); ++i) {
            const AttributeInfo& attribute = linkClass.attributes[i];
            if (attribute.system || values.values[i].IsNull()) continue;
            entry.linkValues.emplace_back(attribute.display, values.values[i]);
        }
        page.entries.push_back(std::move(entry));
    }
    return page;
}

} // namespace quendra::embedded
