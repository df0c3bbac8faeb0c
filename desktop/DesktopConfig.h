// DesktopConfig: the text arguments the desktop passes to each hook (LinkAttributes, SelectOp, ...).
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <map>
#include <string>

namespace quendra::desktop {

class DesktopConfig {
public:
    // The configuration shipped for the plant model.
    static DesktopConfig PlantDefault();
    // A file of the same form: {"AddExistingPart": {"LinkAttributes": "CN_QUANTITY"}}; a mistake throws
    // FileError naming the file and the place.
    static DesktopConfig ReadFile(const std::string& path);
    // The text of such a file; `file` names it in mistakes.
    static DesktopConfig FromText(const std::string& text, const std::string& file);

    // The text for that hook's argument, empty when none is configured.
    std::string Text(const std::string& hook, const std::string& argument) const;
    // Every configured text of that hook, by argument.
    std::map<std::string, std::string> Texts(const std::string& hook) const;

private:
    std::map<std::string, std::map<std::string, std::string>> texts_;
};

} // namespace quendra::desktop
