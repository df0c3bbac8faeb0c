// TreeReader: the objects below an object and the links that join them, read a page of links at a time, so that
// a tree of any breadth is printed with memory for one page per level.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Database.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quendra::embedded {

class ReadSnapshot;
class Storage;

struct TreeEntry {
    ObjectKey object;
    std::string className;
    std::string displayText; // its values joined by the separator the reader was given
    bool locked = false;     // its class has a lock, and it is set
    int32_t lockHolder = 0;  // the user object id of the holder while locked
    // The link from the parent (none for the top): its key, class name and values that are set, by display name.
    ObjectKey link;
    std::string linkClassName;
    std::vector<std::pair<std::string_view, Value>> linkValues;
};

class TreeReader {
public:
    // Reads through the database's own connection under one read transaction while it lives; throws
    // std::invalid_argument for a database that is not the embedded platform's.
    TreeReader(Database& database, std::string separator);
    ~TreeReader();
    TreeReader(const TreeReader&) = delete;
    TreeReader& operator=(const TreeReader&) = delete;

    // The object on its own, or nothing when it is not stored.
    std::optional<TreeEntry> Object(ObjectKey key);

    struct Page {
        std::vector<TreeEntry> entries; // links whose child is gone are left out
        int32_t lastLink = 0;           // the `after` of the next page
        bool more = false;
    };
    // The children of the object through the links made after the link `after` (0: from the first), at most
    // `count` links, in the order the links were made.
    Page Below(ObjectKey parent, int32_t after, size_t count);

private:
    std::shared_ptr<Storage> storage_;
    std::string separator_;
    std::unique_ptr<ReadSnapshot> snapshot_;
};

} // namespace quendra::embedded
