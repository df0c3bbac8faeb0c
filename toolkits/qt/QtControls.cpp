// QtControls: labels, buttons, combo boxes and text boxes of a window as Qt widgets.
// SPDX-License-Identifier: Apache-2.0
#include "QtControls.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <stdexcept>

namespace quendra::qt {

namespace {

class QtLabel : public Wrapped<ui::Label> {
public:
    QtLabel(QtWindow& window, const std::string& name, int tabIndex, QLabel* label)
        : Wrapped(window, name, tabIndex, label), label_(label) {
        label_->setFocusPolicy(Qt::NoFocus);
    }
    void SetText(const std::string& text) override { label_->setText(ToQt(text)); }
    std::string Text() const override { return label_->text().toStdString(); }
    bool OwnKey(QKeyEvent*) override { return false; }

private:
    QLabel* label_;
};

class QtButton : public Wrapped<ui::Button> {
public:
    QtButton(QtWindow& window, const std::string& name, int tabIndex, QPushButton* button)
        : Wrapped(window, name, tabIndex, button), button_(button) {
        button_->setAutoDefault(false);
        button_->setDefault(false);
        QObject::connect(button_, &QPushButton::clicked, button_, [this] { window_.Events().Click(*this); });
    }
    std::string Caption() const override { return button_->text().toStdString(); }
    // Enter and Space press the focused button.
    bool OwnKey(QKeyEvent* event) override {
        int key = event->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            window_.Events().Click(*this);
            return true;
        }
        return key == Qt::Key_Escape;
    }

private:
    QPushButton* button_;
};

class QtComboBox : public Wrapped<ui::ComboBox> {
public:
    QtComboBox(QtWindow& window, const std::string& name, int tabIndex, QComboBox* combo)
        : Wrapped(window, name, tabIndex, combo), combo_(combo) {}
    void Clear() override { combo_->clear(); }
    void AddItem(const std::string& text) override { combo_->addItem(ToQt(text)); }
    int ListCount() const override { return combo_->count(); }
    std::string List(int index) const override {
        if (index < 0 || index >= combo_->count()) throw std::out_of_range("no entry " + std::to_string(index));
        return combo_->itemText(index).toStdString();
    }
    int ListIndex() const override { return combo_->currentIndex(); }
    void SetListIndex(int index) override {
        if (index < -1 || index >= combo_->count()) throw std::out_of_range("no entry " + std::to_string(index));
        combo_->setCurrentIndex(index);
    }
    bool OwnKey(QKeyEvent* event) override {
        int key = event->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
    }

private:
    QComboBox* combo_;
};

class QtTextBox : public Wrapped<ui::TextBox> {
public:
    QtTextBox(QtWindow& window, const std::string& name, int tabIndex, QLineEdit* edit)
        : Wrapped(window, name, tabIndex, edit), edit_(edit) {
        edit_->setFrame(false);
    }
    void Move(const ui::Rect& rect) override {
        edit_->setGeometry(window_.Pixels(rect.left), window_.Pixels(rect.top), window_.Pixels(rect.width),
                           window_.Pixels(rect.height));
    }
    void SetText(const std::string& text) override { edit_->setText(ToQt(text)); }
    std::string Text() const override { return edit_->text().toStdString(); }
    void SetSelStart(int start) override {
        selStart_ = std::clamp(start, 0, static_cast<int>(edit_->text().size()));
        edit_->setCursorPosition(selStart_);
    }
    void SetSelLength(int length) override { edit_->setSelection(selStart_, length); }
    bool OwnKey(QKeyEvent* event) override {
        int key = event->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
    }

private:
    QLineEdit* edit_;
    int selStart_ = 0;
};

} // namespace

ui::Label& QtWindow::AddLabel(const std::string& name, const ui::Rect& rect, const std::string& text, int tabIndex) {
    auto* label = new QLabel(ToQt(text), dialog_);
    label->setGeometry(Pixels(rect.left), Pixels(rect.top), Pixels(rect.width), Pixels(rect.height));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return Add(std::make_unique<QtLabel>(*this, name, tabIndex, label));
}

ui::Button& QtWindow::AddButton(const std::string& name, const ui::Rect& rect, const std::string& caption,
                                int tabIndex) {
    auto* button = new QPushButton(ToQt(caption), dialog_);
    button->setGeometry(Pixels(rect.left), Pixels(rect.top), Pixels(rect.width), Pixels(rect.height));
    return Add(std::make_unique<QtButton>(*this, name, tabIndex, button));
}

ui::ComboBox& QtWindow::AddComboBox(const std::string& name, const ui::Rect& rect, int tabIndex) {
    auto* combo = new QComboBox(dialog_);
    combo->setGeometry(Pixels(rect.left), Pixels(rect.top), Pixels(rect.width),
                       std::max(Pixels(rect.height), combo->sizeHint().height()));
    return Add(std::make_unique<QtComboBox>(*this, name, tabIndex, combo));
}

ui::TextBox& QtWindow::AddTextBox(const std::string& name, const ui::Rect& rect, int tabIndex) {
    auto* edit = new QLineEdit(dialog_);
    edit->setGeometry(Pixels(rect.left), Pixels(rect.top), Pixels(rect.width), Pixels(rect.height));
    return Add(std::make_unique<QtTextBox>(*this, name, tabIndex, edit));
}

} // namespace quendra::qt
