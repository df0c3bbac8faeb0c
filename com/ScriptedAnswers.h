// The scripted user inside quendra.dll: off unless QUENDRA_ANSWERS names an answers file, in which
// case the component's windows are answered from that file instead of shown to a person.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ScriptedUser.h"

#include <string>
#include <vector>

namespace quendra::com {

// The environment variable that names the answers file.
inline constexpr wchar_t AnswersVariable[] = L"QUENDRA_ANSWERS";

// The answers file that QUENDRA_ANSWERS names (UTF-8), or "" when the variable is not set or empty.
std::string AnswersFileSetting();

// The answers of a file in the format of `quendra hook --answers` (a JSON list of answers, or an
// object whose "answers" holds it); the files an open answer picks are beside the answers file. A
// mistake in the file, or an answer for one of the platform's own dialogs, throws with the file's
// name and the answer's place in it.
std::vector<answering::Answer> ReadAnswers(const std::string& file);

} // namespace quendra::com
