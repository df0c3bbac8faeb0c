// FileError: a scenario, answer or sample file that is wrong, with where and what.
#pragma once

#include <stdexcept>
#include <string>

namespace quendra::host {

class FileError : public std::runtime_error {
public:
    FileError(std::string file, std::string jsonPath, const std::string& message);
    std::string file;     // the file concerned
    std::string jsonPath; // JSON pointer of the mistake, empty when it concerns the whole file
    std::string message;  // what is wrong
};

} // namespace quendra::host
