// DesktopConfig: every hook and argument named in the file must be one the hook takes.
// SPDX-License-Identifier: Apache-2.0
#include "DesktopConfig.h"

#include "FileError.h"
#include "HookCatalog.h"
#include "JsonCursor.h"

#include <algorithm>

namespace quendra::desktop {

namespace {

const char* const PlantText =
#include "PlantDesktopText.inc"
    ;

} // namespace

DesktopConfig DesktopConfig::PlantDefault() {
    return FromText(PlantText, "plant-desktop.json");
}

DesktopConfig DesktopConfig::ReadFile(const std::string& path) {
    return FromText(ReadFileText(path), path);
}

DesktopConfig DesktopConfig::FromText(const std::string& text, const std::string& file) {
    DesktopConfig config;
    Json document = JsonCursor::Parse(text, file);
    JsonCursor root(document, "", file);
    for (const auto& [hookName, arguments] : root.Members()) {
        const playback::HookInfo* hook = playback::HookCatalog::Find(hookName);
        if (!hook) arguments.Fail("unknown hook name \"" + hookName + "\"");
        for (const auto& [argument, text] : arguments.Members()) {
            if (std::find(hook->texts.begin(), hook->texts.end(), argument) == hook->texts.end())
                text.Fail(hookName + " takes no text argument \"" + argument + "\"");
            config.texts_[hookName][argument] = text.String();
        }
    }
    return config;
}

std::string DesktopConfig::Text(const std::string& hook, const std::string& argument) const {
    auto texts = Texts(hook);
    auto found = texts.find(argument);
    return found == texts.end() ? std::string() : found->second;
}

std::map<std::string, std::string> DesktopConfig::Texts(const std::string& hook) const {
    auto found = texts_.find(hook);
    return found == texts_.end() ? std::map<std::string, std::string>() : found->second;
}

} // namespace quendra::desktop
