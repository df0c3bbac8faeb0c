// QtEvents: the widgets' clicks, keys and focus changes on their way to the form, and how the
// person left the window.
// SPDX-License-Identifier: Apache-2.0
#include "KeyNames.h"
#include "QtControls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>

namespace quendra::qt {

void EventTap::Reset() {
    way = Way::Open;
    detail.clear();
}

void EventTap::Click(ui::Control& control) {
    // Read before the form runs: it may unload the window and its buttons.
    auto* button = dynamic_cast<ui::Button*>(&control);
    std::string caption = button ? button->Caption() : std::string();
    form_.Click(control);
    if (button) Left(Way::Button, caption);
}

void EventTap::KeyDown(ui::Control& control, int& keyCode) {
    int pressed = keyCode;
    form_.KeyDown(control, keyCode);
    Left(Way::Key, ui::keys::NameOf(pressed));
}

void EventTap::FormKeyDown(int& keyCode) {
    int pressed = keyCode;
    form_.FormKeyDown(keyCode);
    Left(Way::Key, ui::keys::NameOf(pressed));
}

// The window hides after the form has heard of it.
void EventTap::FrameClose() {
    form_.FrameClose();
    if (way == Way::Open) way = Way::Frame;
}

void EventTap::Left(Way how, const std::string& what) {
    if (way != Way::Open || window_.Visible()) return;
    way = how;
    detail = what;
}

void EventRouter::Watch(QtControl& control) {
    controls_[control.Widget()] = &control;
    control.Widget()->installEventFilter(this);
}

bool EventRouter::eventFilter(QObject* watched, QEvent* event) {
    auto found = controls_.find(watched);
    if (!enabled || found == controls_.end()) return false;
    QtControl& control = *found->second;
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // Switching applications or opening a popup does not move the focus inside the window.
        auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
        if (event->type() == QEvent::FocusIn) {
            window_.Events().GotFocus(control.AsControl());
        } else {
            window_.Events().LostFocus(control.AsControl());
        }
        return false;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
        int code = KeyCode(key->key());
        window_.Events().KeyDown(control.AsControl(), code);
        if (code == 0 || !window_.Visible() || QApplication::focusWidget() != control.Widget()) return true;
        return control.OwnKey(key);
    }
    default:
        return false;
    }
}

void FormDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    window_.FrameClose();
}

void FormDialog::keyPressEvent(QKeyEvent* event) {
    QWidget* focused = QApplication::focusWidget();
    if (!focused || focused == this || !isAncestorOf(focused)) {
        int code = KeyCode(event->key());
        window_.Events().FormKeyDown(code);
        if (code == 0 || !window_.Visible()) return;
    }
    int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) return;
    QDialog::keyPressEvent(event);
}

} // namespace quendra::qt
