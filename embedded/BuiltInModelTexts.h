// BuiltInModelTexts: the model files shipped inside the library, by name.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quendra::embedded {

// (name, model text) of every model file built into the library.
const std::vector<std::pair<std::string, std::string>>& BuiltInModelTexts();

} // namespace quendra::embedded
