// QtWindow: a window of the component as a Qt dialog, its controls as Qt widgets.
// SPDX-License-Identifier: Apache-2.0
#include "QtWindow.h"

#include "QtControls.h"

#include <QFontMetricsF>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace quendra::qt {

QtWindow::QtWindow(const std::string& caption, int clientWidth, int clientHeight, ui::WindowEvents& events,
                   double twipsPerPixel, std::function<void(QDialog&)> beforeModal, WindowLog& log)
    : tap_(std::make_unique<EventTap>(*this, events)), log_(log), twipsPerPixel_(twipsPerPixel),
      beforeModal_(std::move(beforeModal)), dialog_(new FormDialog(*this)),
      router_(std::make_unique<EventRouter>(*this)) {
    dialog_->setWindowTitle(ToQt(caption));
    // The windows are laid out for an 8-point sans serif; their controls share the window's font.
    QFont font = dialog_->font();
    font.setPointSizeF(8);
    dialog_->setFont(font);
    dialog_->setFixedSize(Pixels(clientWidth), Pixels(clientHeight));
}

QtWindow::~QtWindow() {
    Destroy();
}

void QtWindow::Adopt(std::unique_ptr<QtControl> control) {
    router_->Watch(*control);
    controls_.push_back(std::move(control));
    // The focus follows the tab indexes.
    std::vector<QtControl*> order;
    for (const auto& c : controls_)
        if (c->Widget()->focusPolicy() != Qt::NoFocus) order.push_back(c.get());
    std::stable_sort(order.begin(), order.end(),
                     [](const QtControl* a, const QtControl* b) { return a->TabIndex() < b->TabIndex(); });
    for (size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1]->Widget(), order[i]->Widget());
}

std::string QtWindow::Caption() const {
    return dialog_ ? dialog_->windowTitle().toStdString() : std::string();
}

void QtWindow::ShowModal() {
    if (!dialog_) throw std::logic_error("the window is unloaded");
    QtControl* first = pendingFocus_ && pendingFocus_->CanFocus() ? pendingFocus_ : nullptr;
    pendingFocus_ = nullptr;
    if (!first) {
        for (const auto& control : controls_)
            if (control->CanFocus() && (!first || control->TabIndex() < first->TabIndex())) first = control.get();
    }
    if (first) first->Widget()->setFocus(Qt::OtherFocusReason);
    tap_->Reset();
    auto shown = Record();
    auto* combo = FirstOf<ui::ComboBox>(controls_);
    int shownIndex = combo ? combo->ListIndex() : -1;
    size_t place = log_.Shown({shown, ""});
    QDialog* dialog = dialog_;
    QTimer::singleShot(0, dialog, [this, dialog] {
        dialog->activateWindow();
        if (beforeModal_) beforeModal_(*dialog);
    });
    dialog_->exec();
    log_.Answered(place, AnswerGiven(shown, shownIndex));
}

void QtWindow::Hide() {
    if (dialog_) dialog_->hide();
}

bool QtWindow::Visible() const {
    return dialog_ && dialog_->isVisible();
}

void QtWindow::Unload() {
    Destroy();
}

double QtWindow::TextWidth(const std::string& text) const {
    if (!dialog_) throw std::logic_error("the window is unloaded");
    return QFontMetricsF(dialog_->font()).horizontalAdvance(ToQt(text)) * twipsPerPixel_;
}

int QtWindow::Pixels(int twips) const {
    return static_cast<int>(std::lround(twips / twipsPerPixel_));
}

int QtWindow::Twips(int pixels) const {
    return static_cast<int>(std::lround(pixels * twipsPerPixel_));
}

void QtWindow::RequestFocus(QtControl& control) {
    if (!Visible()) {
        pendingFocus_ = &control;
        return;
    }
    if (control.CanFocus()) control.Widget()->setFocus(Qt::OtherFocusReason);
}

void QtWindow::FrameClose() {
    if (!Visible()) return;
    tap_->FrameClose();
    Hide();
}

ui::WindowEvents& QtWindow::Events() {
    return *tap_;
}

// The controls' events stop before the widgets go, so no form hears of a dying widget.
void QtWindow::Destroy() {
    if (!dialog_) return;
    router_->enabled = false;
    pendingFocus_ = nullptr;
    for (const auto& control : controls_) QObject::disconnect(control->Widget(), nullptr, nullptr, nullptr);
    delete dialog_;
    dialog_ = nullptr;
    controls_.clear();
}

} // namespace quendra::qt
