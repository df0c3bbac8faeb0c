// QtWindowSystem: the component's windows and the platform's dialogs as Qt 6 widgets.
// SPDX-License-Identifier: Apache-2.0
#include "QtWindowSystem.h"

#include "QtCommonDialog.h"
#include "QtWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace quendra::qt {

namespace {} // namespace

QtWindowSystem::QtWindowSystem() {
    QScreen* screen = QGuiApplication::primaryScreen();
    double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    twipsPerPixel_ = 1440.0 / (dpi > 0 ? dpi : 96.0);
}

void QtWindowSystem::SetModalHook(std::function<void(QDialog&)> hook) {
    hook_ = std::move(hook);
}

int QtWindowSystem::RunModal(QDialog& dialog) {
    QTimer::singleShot(0, &dialog, [this, &dialog] {
        dialog.activateWindow();
        if (hook_) hook_(dialog);
    });
    return dialog.exec();
}

ui::Answer QtWindowSystem::MessageBox(const std::string& text, const std::string& title, ui::Icon icon,
                                      ui::Buttons buttons, ui::Answer defaultButton) {
    QMessageBox::Icon shown = QMessageBox::Information;
    switch (icon) {
    case ui::Icon::Information:
        shown = QMessageBox::Information;
        break;
    case ui::Icon::Exclamation:
        shown = QMessageBox::Warning;
        break;
    case ui::Icon::Critical:
        shown = QMessageBox::Critical;
        break;
    case ui::Icon::Question:
        shown = QMessageBox::Question;
        break;
    }
    size_t place = log_.Shown({answering::records::MessageBox{text, title, icon, buttons}, ""});
    QString message = QString::fromStdString(text).replace("\r\n", "\n");
    QMessageBox box(shown, QString::fromStdString(title), message);
    box.setTextFormat(Qt::PlainText);
    if (buttons == ui::Buttons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(defaultButton == ui::Answer::No ? QMessageBox::No : QMessageBox::Yes);
    }
    RunModal(box);
    QAbstractButton* clicked = box.clickedButton();
    ui::Answer given = defaultButton;
    if (buttons == ui::Buttons::Ok)
        given = ui::Answer::Ok;
    else if (clicked == box.button(QMessageBox::Yes))
        given = ui::Answer::Yes;
    else if (clicked == box.button(QMessageBox::No))
        given = ui::Answer::No;
    // Enter and Escape end in a button too, so every way out is written as the button it gave.
    log_.Answered(place, {answering::answers::Button{given == ui::Answer::Ok    ? "OK"
                                                     : given == ui::Answer::Yes ? "Yes"
                                                                                : "No"},
                          ""});
    return given;
}

std::unique_ptr<ui::CommonDialog> QtWindowSystem::CreateCommonDialog() {
    return std::make_unique<QtCommonDialog>([this](QDialog& dialog) { return RunModal(dialog); }, log_);
}

std::unique_ptr<ui::Window> QtWindowSystem::CreateWindow(const std::string& caption, int clientWidth, int clientHeight,
                                                         ui::WindowEvents& events) {
    return std::make_unique<QtWindow>(
        caption, clientWidth, clientHeight, events, twipsPerPixel_,
        [this](QDialog& dialog) {
            if (hook_) hook_(dialog);
        },
        log_);
}

} // namespace quendra::qt
