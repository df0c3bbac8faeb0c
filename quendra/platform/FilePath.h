// File names as texts. Every text in Quendra is UTF-8, file names too; a std::filesystem::path made
// straight from a narrow string reads it in the system's code page on Windows (byte by byte with
// MinGW), so every name crosses between text and path through these two.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <string>

namespace quendra {

inline std::filesystem::path PathFromText(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string TextFromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace quendra
