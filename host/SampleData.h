// SampleData: the sample product that `quendra init --sample` loads, built into the command.
// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace quendra::host {

// The text of models/sample/plant-sample.json as it was when the command was built.
const char* SampleDataText();
inline constexpr const char* SampleDataName = "models/sample/plant-sample.json";

} // namespace quendra::host
