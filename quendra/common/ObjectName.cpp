// How messages name an object.
// SPDX-License-Identifier: Apache-2.0
#include "ObjectName.h"

namespace quendra {

namespace {

const std::string Separator = "-"; // between the values of a display text

} // namespace

std::string ObjectName(CvObject& object) {
    std::string name = object.Class()->Name();
    const std::string text = object.DisplayText(Separator);
    name.reserve(name.size() + 1 + text.size());
    name += ' ';
    name += text;
    return name;
}

void AppendObjectName(std::string& text, CvObject& object) {
    text += object.Class()->Name();
    text += ' ';
    text += object.DisplayText(Separator);
}

} // namespace quendra
