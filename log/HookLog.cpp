// HookLog: the line of a call and its append, which no other process's line can split.
// SPDX-License-Identifier: Apache-2.0
#include "HookLog.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>
#endif

namespace quendra::log {

namespace {

#ifdef _WIN32
std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

// A REG_EXPAND_SZ value comes expanded (RRF_RT_REG_SZ takes it unless RRF_NOEXPAND is given).
std::string RegistryPath(HKEY root) {
    wchar_t path[2048];
    DWORD size = sizeof path;
    if (RegGetValueW(root, L"Software\\Quendra", L"LogFile", RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS)
        return {};
    return Utf8(path);
}

std::string ProcessName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L"\\/") + 1);
    return Utf8(name) + " " + std::to_string(GetCurrentProcessId());
}

std::string UserName() {
    wchar_t name[256] = {};
    DWORD size = 256;
    return GetUserNameW(name, &size) ? Utf8(name) : "?";
}

void AppendLine(const std::string& path, const std::string& line) {
    // Append access alone: every write goes to the end of the file as one piece.
    HANDLE file =
        CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}
#else
std::string ProcessName() {
    std::string name = "?";
    if (FILE* comm = std::fopen("/proc/self/comm", "r")) {
        char buffer[64] = {};
        if (std::fgets(buffer, sizeof buffer, comm)) name = buffer;
        std::fclose(comm);
        if (!name.empty() && name.back() == '\n') name.pop_back();
    }
    return name + " " + std::to_string(getpid());
}

std::string UserName() {
    if (const passwd* entry = getpwuid(geteuid())) return entry->pw_name;
    return std::to_string(geteuid());
}

void AppendLine(const std::string& path, const std::string& line) {
    // O_APPEND: each write lands at the end of the file whole, whoever else appends.
    int file = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0) return;
    ssize_t written = write(file, line.data(), line.size());
    (void)written;
    close(file);
}
#endif

// A field holds no tab and no line break, so a line is a record and its fields split at tabs.
std::string Field(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
}

std::string Now() {
    int year, month, day, hour, minute, second, millisecond;
#ifdef _WIN32
    SYSTEMTIME now;
    GetSystemTime(&now);
    year = now.wYear, month = now.wMonth, day = now.wDay, hour = now.wHour, minute = now.wMinute, second = now.wSecond,
    millisecond = now.wMilliseconds;
#else
    auto now = std::chrono::system_clock::now();
    std::time_t time = std::chrono::system_clock::to_time_t(now);
    std::tm utc{};
    gmtime_r(&time, &utc);
    year = utc.tm_year + 1900, month = utc.tm_mon + 1, day = utc.tm_mday, hour = utc.tm_hour, minute = utc.tm_min,
    second = utc.tm_sec;
    millisecond =
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
#endif
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", year, month, day, hour, minute, second,
                  millisecond);
    return text;
}

} // namespace

std::string HookLog::ConfiguredPath() {
#ifdef _WIN32
    if (const wchar_t* path = _wgetenv(L"QUENDRA_LOG"); path && *path) return Utf8(path);
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        if (std::string path = RegistryPath(root); !path.empty()) return path;
#else
    if (const char* path = std::getenv("QUENDRA_LOG"); path && *path) return path;
#endif
    return {};
}

HookLog::HookLog(std::string path) : path_(std::move(path)) {}

void HookLog::Append(const std::string& hook, std::optional<int16_t> result, std::chrono::steady_clock::duration took,
                     const std::string& failure) const noexcept {
    if (!On()) return;
    try {
        char duration[32];
        std::snprintf(duration, sizeof duration, "%.3f ms", std::chrono::duration<double, std::milli>(took).count());
        std::string line = Now() + '\t' + Field(ProcessName()) + '\t' + Field(hook) + '\t' + Field(UserName()) + '\t' +
                           (result ? std::to_string(*result) : std::string("failed")) + '\t' + duration + '\t' +
                           Field(failure) + '\n';
        AppendLine(path_, line);
    } catch (...) {
        // Out of memory for the line: the call goes on without it.
    }
}

} // namespace quendra::log
