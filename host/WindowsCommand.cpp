// WindowsCommand: the Qt toolkit renders the windows; built only where Qt is.
#include "WindowsCommand.h"

#include "CommandError.h"
#include "QtMessages.h"
#include "WindowGallery.h"

namespace quendra::host {

CLI::App* WindowsCommand::Register(CLI::App& app) {
    auto* command = app.add_subcommand("windows", "Render every window of the Qt toolkit to PNG files");
    command->add_option("--out", outDir_, "The folder for the pictures (made when missing)")->required();
    return command;
}

int WindowsCommand::Run(std::ostream& out, std::ostream&) {
    if (outDir_.empty()) throw CommandError("--out names no folder: give the folder for the pictures");
    qt::QuietQtPlatformNotes();
    if (RenderWindowGallery(outDir_) != 0) throw CommandError("not every window could be written to " + outDir_);
    out << "wrote the window pictures to " << outDir_ << '\n';
    return 0;
}

} // namespace quendra::host
