// The one Qt application of a test executable that shows Qt windows.
// SPDX-License-Identifier: Apache-2.0
#pragma once

class QApplication;

namespace quendra::test {

// Made on first use, offscreen unless QT_QPA_PLATFORM says otherwise, and never destroyed: the test
// events' input devices outlive any static of ours.
QApplication& QtApplication();

} // namespace quendra::test
