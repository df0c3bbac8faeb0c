// Fuzzes the desktop's configuration file: any text is a configuration whose every text names a hook and
// an argument that hook takes, or a FileError.
// SPDX-License-Identifier: Apache-2.0
#include "DesktopConfig.h"
#include "FileError.h"
#include "HookCatalog.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const auto config = quendra::desktop::DesktopConfig::FromText(text, "desktop.json");
        for (const auto& hook : quendra::playback::HookCatalog::All())
            for (const auto& [argument, value] : config.Texts(hook.name))
                if (config.Text(hook.name, argument) != value) std::abort();
    } catch (const quendra::FileError&) {
    }
    return 0;
}
