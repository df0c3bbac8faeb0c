// StringList: the ordered lists of texts the component parses from script arguments.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvError.h"

#include <memory>
#include <string>
#include <vector>

namespace quendra {

using StringList = std::vector<std::string>;
// A list shared by reference; empty pointer = "no list".
using StringListPtr = std::shared_ptr<StringList>;

// The list behind the pointer; using an absent list is a failure like any other.
inline StringList& Items(const StringListPtr& list) {
    if (!list) throw CvError("the list does not exist");
    return *list;
}

} // namespace quendra
