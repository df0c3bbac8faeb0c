// TempFolder: made with a name nobody else holds, removed on every path.
// SPDX-License-Identifier: Apache-2.0
#include "TempFolder.h"

#include "CommandError.h"
#include "FilePath.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>

namespace quendra::playback {

namespace {

#ifdef _WIN32
// Windows has no mkdtemp: a folder made under a random name fails when the name is taken, so a
// made folder is ours alone.
std::string MakeUniqueFolder(const std::filesystem::path& base) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("quendra-" + std::to_string(random() % 1000000000000ULL));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) return candidate.string();
        if (error)
            throw EnvironmentError("cannot make a temporary folder in " + base.string() + " (" + error.message() +
                                   "); set TMP to a folder you may write");
    }
    throw EnvironmentError("cannot find a free temporary folder name in " + base.string());
}
#else
// mkdtemp picks the name and makes the folder (mode 0700) in one step, so no one else can hold it.
std::string MakeUniqueFolder(const std::filesystem::path& base) {
    std::string pattern = (base / "quendra-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw EnvironmentError("cannot make a temporary folder in " + base.string() + " (" + std::strerror(errno) +
                               "); set TMPDIR to a folder you may write");
    return pattern;
}
#endif

} // namespace

TempFolder::TempFolder() {
    std::error_code noFolder;
    auto base = std::filesystem::temp_directory_path(noFolder);
    if (noFolder) {
        const char* named = std::getenv("TMPDIR");
        throw EnvironmentError(std::string("no temporary folder to work in") +
                               (named ? std::string(": TMPDIR names ") + named + ", which is no folder" : "") +
                               "; set TMPDIR to an existing folder");
    }
    path_ = MakeUniqueFolder(base);
}

TempFolder::~TempFolder() {
    std::error_code ignored; // a folder that cannot be removed is left behind, never a crash
    std::filesystem::remove_all(path_, ignored);
}

void TempFolder::Write(const std::string& relative, const std::string& content) const {
    auto target = PathFromText(path_) / PathFromText(relative);
    std::filesystem::create_directories(target.parent_path());
    errno = 0;
    std::ofstream out(target, std::ios::binary);
    out << content;
    out.flush();
    if (out) return;
    // A full disk or a refused write is the machine's; anything else is the name's.
    bool machine = errno == ENOSPC || errno == EACCES || errno == EROFS;
#ifdef EDQUOT // no disk quotas on Windows
    machine = machine || errno == EDQUOT;
#endif
    if (machine) throw EnvironmentError("cannot write " + TextFromPath(target) + ": " + std::strerror(errno));
    throw std::runtime_error("cannot write " + TextFromPath(target));
}

} // namespace quendra::playback
