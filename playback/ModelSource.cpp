// ModelSource: built-in models first, then model files; every problem becomes a FileError.
// SPDX-License-Identifier: Apache-2.0
#include "ModelSource.h"

#include "FileError.h"

#include <filesystem>

namespace quendra::playback {

std::string ModelSource::BuiltInNames() {
    std::string names;
    for (const auto& name : embedded::BuiltInModelNames()) names += (names.empty() ? "" : ", ") + name;
    return names;
}

std::shared_ptr<const embedded::Model> ModelSource::Load(const std::string& name, const std::string& folder,
                                                         const std::string& file, const std::string& jsonPath) {
    for (const auto& builtIn : embedded::BuiltInModelNames())
        if (builtIn == name) return embedded::BuiltInModel(name);
    std::filesystem::path path(name);
    if (path.is_relative() && !folder.empty()) path = std::filesystem::path(folder) / path;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw FileError(file, jsonPath,
                        "the model \"" + name + "\" is no built-in model (" + BuiltInNames() + ") and no model file " +
                            path.string() + " exists");
    try {
        return embedded::LoadModelFile(path.string());
    } catch (const embedded::EmbeddedError& wrong) {
        throw FileError(wrong.file.empty() ? path.string() : wrong.file, wrong.jsonPath, wrong.what());
    }
}

} // namespace quendra::playback
