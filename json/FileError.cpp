// FileError: one line naming the file, the JSON path and the mistake.
// SPDX-License-Identifier: Apache-2.0
#include "FileError.h"

#include "FilePath.h"
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quendra {

namespace {
std::string Describe(const std::string& file, const std::string& jsonPath, const std::string& message) {
    std::string text = file;
    if (!jsonPath.empty()) text += (text.empty() ? "" : ": ") + jsonPath;
    return text.empty() ? message : text + ": " + message;
}
} // namespace

FileError::FileError(std::string file, std::string jsonPath, const std::string& message)
    : std::runtime_error(Describe(file, jsonPath, message)), file(std::move(file)), jsonPath(std::move(jsonPath)),
      message(message) {}

std::string ReadFileText(const std::string& path) {
    std::error_code unknown;
    if (std::filesystem::is_directory(PathFromText(path), unknown))
        throw FileError(path, "", "is a folder; give a file");
    std::ifstream in(PathFromText(path), std::ios::binary);
    if (!in) throw FileError(path, "", "cannot be read (missing or not readable)");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw FileError(path, "", "cannot be read");
    return text.str();
}

} // namespace quendra
