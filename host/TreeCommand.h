// TreeCommand: `quendra tree DB PART_NUMBER`: the parts tree below a part, with its links and lock holders.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Command.h"

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

namespace quendra::host {

class TreeCommand : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Run(std::ostream& out, std::ostream& errors) override;
    // Prints the tree below every part of that number, one line per object:
    //   Assembly P-100020 - Output shaft assembly
    //     Part P-100021 - Output shaft (Parts Tree#23: Quantity=1, Position=10) locked by dora
    // The link part names the link that joins the object to the line above as transcripts name objects, class#id,
    // then its values that are set, by display name ("(Specification dependency Link#26)" when it has none).
    static void Print(const std::string& database, const std::string& partNumber, std::ostream& out);

private:
    std::string database_;
    std::string partNumber_;
};

} // namespace quendra::host
