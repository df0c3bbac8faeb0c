// WindowsCommand: the Qt toolkit renders the windows; built only where Qt is.
// SPDX-License-Identifier: Apache-2.0
#include "WindowsCommand.h"

#include "CommandError.h"
#include "QtMessages.h"
#include "WindowGallery.h"

#include <filesystem>

namespace quendra::host {

CLI::App* WindowsCommand::Register(CLI::App& app) {
    auto* command = app.add_subcommand("windows", "Render every window of the Qt toolkit to PNG files");
    command->add_option("--out", outDir_, "The folder for the pictures (made when missing)")->required();
    return command;
}

int WindowsCommand::Run(std::ostream& out, std::ostream&) {
    if (outDir_.empty()) throw playback::CommandError("--out names no folder: give the folder for the pictures");
    qt::QuietQtPlatformNotes();
    std::error_code error;
    if (std::filesystem::exists(outDir_, error) && !std::filesystem::is_directory(outDir_, error))
        throw playback::CommandError(outDir_ + " is no folder: give a folder for the pictures with --out");
    // What stops the pictures is the machine's: a folder that may not be written, a full disk.
    if (RenderWindowGallery(outDir_) != 0)
        throw playback::EnvironmentError("not every window could be written to " + outDir_ +
                                         ": check that the folder may be written and the disk has room");
    out << "wrote the window pictures to " << outDir_ << '\n';
    return 0;
}

} // namespace quendra::host
