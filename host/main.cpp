// The quendra command: entry point.
// SPDX-License-Identifier: Apache-2.0
#include "CommandLine.h"

#ifdef QUENDRA_WITH_QT
#include "DesktopRun.h"
#endif

#include <iostream>

int main(int argc, char** argv) {
#ifdef QUENDRA_WITH_QT
    const quendra::host::DesktopRunner desktop = &quendra::desktop::RunDesktop;
#else
    const quendra::host::DesktopRunner desktop = nullptr;
#endif
    return quendra::host::CommandLine::Run(argc, argv, std::cout, std::cerr, desktop);
}
