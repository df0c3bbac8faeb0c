// WindowsCommand: the Qt toolkit renders the windows; only built where Qt is.
#include "WindowsCommand.h"

#include "CommandError.h"
#include "QtMessages.h"

#ifdef QUENDRA_WITH_QT
#include "WindowGallery.h"
#endif

namespace quendra::host {

CLI::App* WindowsCommand::Register(CLI::App& app) {
    auto* command = app.add_subcommand("windows", "Render every window of the Qt toolkit to PNG files");
    command->add_option("--out", outDir_, "The folder for the pictures (made when missing)")->required();
    return command;
}

int WindowsCommand::Run(std::ostream& out) {
#ifdef QUENDRA_WITH_QT
    if (outDir_.empty()) throw CommandError("--out names no folder: give the folder for the pictures");
    QuietQtPlatformNotes();
    if (quendra::qt::RenderWindowGallery(outDir_) != 0)
        throw CommandError("not every window could be written to " + outDir_);
    out << "wrote the window pictures to " << outDir_ << '\n';
    return 0;
#else
    (void)out;
    throw CommandError("this quendra was built without Qt and has no windows to render");
#endif
}

} // namespace quendra::host
