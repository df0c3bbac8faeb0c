// FileError: one line naming the file, the JSON path and the mistake.
#include "FileError.h"

namespace quendra::host {

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

} // namespace quendra::host
