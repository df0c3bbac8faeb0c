// QtKeys: Qt's keys as the key codes the component's key handlers compare with.
// SPDX-License-Identifier: Apache-2.0
#include "KeyNames.h"
#include "QtControls.h"

namespace quendra::qt {

int KeyCode(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ui::keys::Enter;
    case Qt::Key_Escape:
        return ui::keys::Escape;
    case Qt::Key_Space:
        return ui::keys::Space;
    case Qt::Key_Left:
        return ui::keys::Left;
    case Qt::Key_Up:
        return ui::keys::Up;
    case Qt::Key_Right:
        return ui::keys::Right;
    case Qt::Key_Down:
        return ui::keys::Down;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return ui::keys::Tab;
    case Qt::Key_Delete:
        return 46;
    default:
        if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return qtKey;
        return qtKey & 0xFFFF;
    }
}

} // namespace quendra::qt
