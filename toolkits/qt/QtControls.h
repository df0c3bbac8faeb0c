// QtControls: what the files of the Qt window share: the controls' common part, the key codes and
// the event routing between the widgets and the form.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "QtWindow.h"

#include <QDialog>
#include <QObject>
#include <QString>
#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QKeyEvent;

namespace quendra::qt {

inline QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

// The key code the component's key handlers compare with, for a Qt key.
int KeyCode(int qtKey);

// What every control shares: its widget, its place in the tab order and how it takes keys.
class QtControl {
public:
    QtControl(QtWindow& window, std::string name, int tabIndex, QWidget* widget)
        : window_(window), name_(std::move(name)), tabIndex_(tabIndex), widget_(widget) {
        widget_->setObjectName(QString::fromStdString(name_));
    }
    virtual ~QtControl() = default;
    virtual ui::Control& AsControl() = 0;
    // The control's own handling of a key the form did not swallow; true when it is used up.
    virtual bool OwnKey(QKeyEvent* event) = 0;

    QWidget* Widget() const { return widget_; }
    int TabIndex() const { return tabIndex_; }
    bool CanFocus() const { return widget_->focusPolicy() != Qt::NoFocus && !widget_->isHidden(); }

protected:
    QtWindow& window_;
    std::string name_;
    int tabIndex_;
    QWidget* widget_;
};

template <class Base> class Wrapped : public Base, public QtControl {
public:
    Wrapped(QtWindow& window, std::string name, int tabIndex, QWidget* widget)
        : QtControl(window, std::move(name), tabIndex, widget) {}
    ui::Control& AsControl() override { return *this; }
    const std::string& Name() const override { return name_; }
    bool Visible() const override { return !widget_->isHidden(); }
    void SetVisible(bool visible) override {
        if (visible == !widget_->isHidden()) return;
        widget_->setVisible(visible);
        if (visible) widget_->raise();
    }
    void SetFocus() override { window_.RequestFocus(*this); }
};

// The first control of a kind (ui::Label, ui::Grid, ...), in the order they were added.
template <class T> T* FirstOf(const std::vector<std::unique_ptr<QtControl>>& controls) {
    for (const auto& control : controls)
        if (auto* found = dynamic_cast<T*>(control.get())) return found;
    return nullptr;
}

// The controls' events on their way to the form, noting the first one after which the window is gone.
class EventTap : public ui::WindowEvents {
public:
    enum class Way { Open, Button, Key, Frame };

    EventTap(QtWindow& window, ui::WindowEvents& form) : window_(window), form_(form) {}
    void Reset();

    void Click(ui::Control& control) override;
    void KeyDown(ui::Control& control, int& keyCode) override;
    void FormKeyDown(int& keyCode) override;
    void GotFocus(ui::Control& control) override { form_.GotFocus(control); }
    void LostFocus(ui::Control& control) override { form_.LostFocus(control); }
    void CurrentCellChanged(ui::Grid& grid) override { form_.CurrentCellChanged(grid); }
    void FrameClose() override;

    Way way = Way::Open;
    std::string detail; // Button: its caption; Key: the key's name

private:
    void Left(Way how, const std::string& what);

    QtWindow& window_;
    ui::WindowEvents& form_;
};

// Focus and key events of the controls, turned into the form's events.
class EventRouter : public QObject {
public:
    explicit EventRouter(QtWindow& window) : window_(window) {}
    void Watch(QtControl& control);
    bool enabled = true;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QtWindow& window_;
    std::map<QObject*, QtControl*> controls_;
};

// The dialog itself: closing by the frame goes to the form, and so do the keys pressed while the
// window has the focus and none of its controls has it. Escape and Enter do nothing else here.
class FormDialog : public QDialog {
public:
    explicit FormDialog(QtWindow& window) : window_(window) {}

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QtWindow& window_;
};

} // namespace quendra::qt
