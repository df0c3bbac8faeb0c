// How messages name an object: its class name, a blank, and its display text.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"

#include <string>

namespace quendra {

// The class name of the object, one blank, and the object's display text with the separator "-".
std::string ObjectName(CvObject& object);
// The same name, added at the end of a message being written.
void AppendObjectName(std::string& text, CvObject& object);

} // namespace quendra
