// TempFolder: a fresh folder under the system's temporary folder, removed with everything in it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

namespace quendra::playback {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    // Writes a file below the folder, making its folders; `relative` must stay inside.
    void Write(const std::string& relative, const std::string& content) const;

private:
    std::string path_;
};

} // namespace quendra::playback
