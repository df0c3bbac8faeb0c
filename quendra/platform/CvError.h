// CvError: the one exception type by which every platform failure reaches its caller.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <stdexcept>
#include <string>

namespace quendra {

class CvError : public std::runtime_error {
public:
    explicit CvError(const std::string& what) : std::runtime_error(what) {}
};

} // namespace quendra
