// Fuzzes the answers reader (quendra hook --answers): any text is a list of answers, or an object holding
// one as "answers", whose refs and values are then made on the sample product; else a FileError.
// SPDX-License-Identifier: Apache-2.0
#include "FileError.h"
#include "JsonCursor.h"
#include "SampleWorld.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const quendra::playback::World& world = quendra::fuzz::SampleWorld();
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const quendra::Json document = quendra::JsonCursor::Parse(text, "answers.json");
        quendra::playback::ScenarioParser parser;
        const auto answers = parser.ParseAnswersFile(quendra::JsonCursor(document, "", "answers.json"));
        parser.CheckRefs();
        for (const auto& answer : answers) world.MakeAnswer(answer);
    } catch (const quendra::FileError&) {
    }
    return 0;
}
