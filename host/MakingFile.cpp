// MakingFile: the name carries its maker's process id, so a later maker can tell a file in the making from
// one whose maker is gone.
// SPDX-License-Identifier: Apache-2.0
#include "MakingFile.h"

#include "CommandError.h"
#include "FilePath.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <random>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace quendra::host {

namespace {

const char* const Suffixes[] = {"", "-journal", "-wal", "-shm"};
// Most file systems take names of at most 255 bytes; the longest suffix SQLite adds must fit as well.
constexpr size_t NameLimit = 255 - std::char_traits<char>::length("-journal");
constexpr size_t LongestTail = std::char_traits<char>::length(".making-") + 10 + 1 + 12;

long OwnProcessId() {
#ifdef _WIN32
    return static_cast<long>(GetCurrentProcessId());
#else
    return static_cast<long>(getpid());
#endif
}

bool ProcessRuns(long long id) {
#ifdef _WIN32
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return runs;
#else
    return id > 0 && (kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM);
#endif
}

// ".NAME", shortened at a character's start so that the temporary name and its side files fit.
std::string Stem(const std::string& fileName) {
    size_t length = std::min(fileName.size(), NameLimit - 1 - LongestTail);
    while (length > 0 && length < fileName.size() && (static_cast<unsigned char>(fileName[length]) & 0xC0) == 0x80)
        --length;
    return "." + fileName.substr(0, length) + ".making-";
}

void RemoveWithSideFiles(const std::filesystem::path& path) {
    std::error_code ignored;
    for (const char* suffix : Suffixes) std::filesystem::remove(path.string() + suffix, ignored);
}

// Earlier makers' files of this name whose maker no longer runs: killed outright, or on another boot.
void RemoveAbandoned(const std::filesystem::path& folder, const std::string& stem) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder.empty() ? std::filesystem::path(".") : folder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        auto name = TextFromPath(entries->path().filename());
        if (!name.starts_with(stem)) continue;
        // ".NAME.making-PID-NUMBER", nothing after it: a side file goes with its database.
        long long maker = 0, number = 0;
        int used = 0;
        if (std::sscanf(name.c_str() + stem.size(), "%lld-%lld%n", &maker, &number, &used) != 2 ||
            name.size() != stem.size() + static_cast<size_t>(used))
            continue;
        if (!ProcessRuns(maker)) RemoveWithSideFiles(entries->path());
    }
}

// The names a signal removes: kept where the handler can reach them without allocating.
constexpr size_t PathRoom = 4096 + 16;
char signalPaths[std::size(Suffixes)][PathRoom];
volatile std::sig_atomic_t armed = 0;
using Handler = void (*)(int);
Handler previousInterrupt = SIG_DFL;
Handler previousTerminate = SIG_DFL;

extern "C" void RemoveThenStop(int signal) {
    if (armed)
        for (const auto* path : signalPaths) {
#ifdef _WIN32
            std::remove(path);
#else
            unlink(path); // unlike remove(), safe in a signal handler
#endif
        }
    armed = 0;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

MakingFile::MakingFile(const std::string& target) {
    auto place = PathFromText(target);
    auto stem = Stem(TextFromPath(place.filename()));
    RemoveAbandoned(place.parent_path(), stem);
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        auto candidate = place.parent_path() / PathFromText(stem + std::to_string(OwnProcessId()) + "-" +
                                                            std::to_string(random() % 1000000000000ULL));
        std::error_code error;
        if (!std::filesystem::exists(std::filesystem::symlink_status(candidate, error)))
            path_ = TextFromPath(candidate);
    }
    if (path_.empty()) throw playback::CommandError("cannot find a free temporary name beside " + target);
    if (path_.size() + 8 >= PathRoom) return; // longer than any file system takes: SQLite will say so
    for (size_t i = 0; i < std::size(Suffixes); ++i)
        std::snprintf(signalPaths[i], PathRoom, "%s%s", path_.c_str(), Suffixes[i]);
    armed = 1;
    previousInterrupt = std::signal(SIGINT, RemoveThenStop);
    previousTerminate = std::signal(SIGTERM, RemoveThenStop);
}

MakingFile::~MakingFile() {
    if (armed) {
        std::signal(SIGINT, previousInterrupt == SIG_ERR ? SIG_DFL : previousInterrupt);
        std::signal(SIGTERM, previousTerminate == SIG_ERR ? SIG_DFL : previousTerminate);
        armed = 0;
    }
    RemoveWithSideFiles(PathFromText(path_));
}

} // namespace quendra::host
