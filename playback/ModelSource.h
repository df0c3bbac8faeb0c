// ModelSource: a data model named on the command line or in a scenario: built-in name or model file.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Database.h"

#include <memory>
#include <string>

namespace quendra::playback {

class ModelSource {
public:
    // `name` is a built-in model's name or a path, relative to `folder` when not absolute.
    // `file` and `jsonPath` say where the name was written, for the error when it names nothing.
    static std::shared_ptr<const embedded::Model> Load(const std::string& name, const std::string& folder,
                                                       const std::string& file, const std::string& jsonPath);
    // "plant, ..." for messages.
    static std::string BuiltInNames();
};

} // namespace quendra::playback
