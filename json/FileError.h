// FileError: a file that is wrong (a model, scenario, answer or sample file), with where and what;
// and the one reader of whole files that reports through it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <stdexcept>
#include <string>

namespace quendra {

class FileError : public std::runtime_error {
public:
    FileError(std::string file, std::string jsonPath, const std::string& message);
    std::string file;     // the file concerned
    std::string jsonPath; // JSON pointer of the mistake, empty when it concerns the whole file
    std::string message;  // what is wrong
};

// The whole content of a file, byte for byte; a file that cannot be opened or read is a FileError
// naming it.
std::string ReadFileText(const std::string& path);

} // namespace quendra
