// WindowGallery: pictures of every window of the Qt toolkit, for the user documentation.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

namespace quendra::qt {

// Renders every window with sample content to PNG files in outDir (made when missing),
// on the offscreen platform unless a QApplication already runs. Answers 0 when every
// picture was written, 1 otherwise.
int RenderWindowGallery(const std::string& outDir);

} // namespace quendra::qt
