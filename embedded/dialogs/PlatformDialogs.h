// PlatformDialogs: the embedded platform's own interactive dialogs, shown by a window toolkit.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "AttributeType.h"
#include "Value.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quendra::embedded {

// An object's identity in the embedded platform.
struct ObjectKey {
    int16_t classId = 0;
    int32_t objectId = 0;
    bool operator==(const ObjectKey&) const = default;
};

// What the user asked for in the query dialog.
struct SearchQuery {
    int16_t classId = 0;                                         // 0: every class
    std::vector<std::pair<std::string, std::string>> conditions; // attribute contains text
    std::vector<ObjectKey> objects;                              // when not empty: exactly these objects
    // Back to every object of every class, keeping the room of the lists.
    void Clear() {
        classId = 0;
        conditions.clear();
        objects.clear();
    }
};

// One row of the result dialog.
struct SearchCandidate {
    ObjectKey key;
    std::string className;
    std::string displayText;
};

// One attribute of a new object, as the new-object dialog shows and edits it.
struct NewObjectField {
    std::string name;
    std::string displayName;
    int32_t typeCode = static_cast<int32_t>(AttributeType::Text);
    bool mandatory = false;
    std::vector<std::pair<std::string, int32_t>> lookup; // (text, code) when the attribute takes lookup values
    Value value;                                         // edited in place
};

class PlatformDialogs {
public:
    virtual ~PlatformDialogs() = default;
    // The query dialog: the user states what to search for, into an empty query. False: cancelled.
    // classNames lists the classes the user may choose from (id, name).
    virtual bool RunQueryDialog(const std::vector<std::pair<int16_t, std::string>>& classNames, SearchQuery& query) = 0;
    // The result dialog: the user picks objects, in order. False: cancelled.
    virtual bool RunResultDialog(const std::vector<SearchCandidate>& found, std::vector<ObjectKey>& picked) = 0;
    // The new-object dialog: the user fills the fields. False: cancelled.
    virtual bool RunNewObjectDialog(const std::string& className, std::vector<NewObjectField>& fields) = 0;
};

} // namespace quendra::embedded
