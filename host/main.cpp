// The quendra command: entry point.
// SPDX-License-Identifier: Apache-2.0
#include "CommandLine.h"

#include <iostream>

int main(int argc, char** argv) {
    return quendra::host::CommandLine::Run(argc, argv, std::cout, std::cerr);
}
