// MakingFile: the temporary name under which `init` makes a database beside its place, removed with the files
// SQLite keeps beside it on every way out: a return, an exception, SIGINT or SIGTERM. One left behind by a
// maker that was killed outright is removed by the next maker of the same name.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

namespace quendra::host {

class MakingFile {
public:
    // A free name beside `path` (".NAME.making-PID-NUMBER", with NAME shortened so that the name and its
    // side files fit the file-name limit), after removing those of earlier makers of `path` that are gone.
    explicit MakingFile(const std::string& path);
    ~MakingFile();
    MakingFile(const MakingFile&) = delete;
    MakingFile& operator=(const MakingFile&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace quendra::host
