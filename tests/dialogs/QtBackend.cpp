// The Qt toolkit as a back end of the window behaviour suite: a user who answers its
// windows with real mouse and key events.
// SPDX-License-Identifier: Apache-2.0
#ifdef QUENDRA_TEST_WITH_QT

#include "QtApplication.h"
#include "QtWindowSystem.h"
#include "WindowBackend.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace quendra::test {

namespace {

Qt::Key QtKey(const std::string& name) {
    if (name == "Enter") return Qt::Key_Return;
    if (name == "Up") return Qt::Key_Up;
    if (name == "Down") return Qt::Key_Down;
    if (name == "Left") return Qt::Key_Left;
    if (name == "Right") return Qt::Key_Right;
    if (name == "Space") return Qt::Key_Space;
    if (name == "Escape") return Qt::Key_Escape;
    if (name == "Tab") return Qt::Key_Tab;
    return Qt::Key_unknown;
}

class QtBackend : public PlayingBackend {
public:
    QtBackend() {
        QtApplication();
        windows_ = std::make_unique<qt::QtWindowSystem>();
        windows_->SetModalHook([this](QDialog& dialog) { Play(dialog); });
    }
    ui::WindowSystem& Windows() override { return *windows_; }
    // The windows as the Qt toolkit itself notes them.
    std::vector<answering::WindowRecord> Shown() const override {
        std::vector<answering::WindowRecord> shown;
        for (const auto& answered : windows_->Answered()) shown.push_back(answered.window);
        return shown;
    }

private:
    void ForgetShown() override { windows_->ForgetAnswered(); }

    void Play(QDialog& dialog) {
        QPointer<QDialog> alive(&dialog);
        if (!QTest::qWaitForWindowActive(&dialog)) Fail("the window did not become active");
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            PlayMessageBox(*box);
        } else {
            PlayWindow(dialog);
        }
        if (alive && alive->isVisible()) {
            Fail("the window " + alive->windowTitle().toStdString() + " stayed open");
            alive->close();
        }
    }

    void PlayMessageBox(QMessageBox& box) {
        auto answer = Next();
        if (!answer) return Fail("no answer for a message box");
        namespace answers = answering::answers;
        if (const auto* pressed = std::get_if<answers::Button>(&answer->what)) {
            QMessageBox::StandardButton button = pressed->caption == "Yes"  ? QMessageBox::Yes
                                                 : pressed->caption == "No" ? QMessageBox::No
                                                                            : QMessageBox::Ok;
            if (box.button(button)) QTest::mouseClick(box.button(button), Qt::LeftButton);
        } else if (const auto* key = std::get_if<answers::Key>(&answer->what)) {
            QTest::keyClick(QApplication::focusWidget(), QtKey(key->name));
        } else if (std::holds_alternative<answers::Close>(answer->what)) {
            box.close();
        }
    }

    void PlayWindow(QDialog& dialog) {
        const std::string title = dialog.windowTitle().toStdString();
        auto* table = dialog.findChild<QTableWidget*>();
        auto* combo = dialog.findChild<QComboBox*>();
        auto answer = Next();
        if (!answer) return Fail("no answer for the window " + title);
        namespace answers = answering::answers;
        QPointer<QDialog> alive(&dialog);
        const auto& what = answer->what;
        if (const auto* button = std::get_if<answers::Button>(&what)) {
            Press(dialog, button->caption);
        } else if (const auto* key = std::get_if<answers::Key>(&what)) {
            QTest::keyClick(QApplication::focusWidget(), QtKey(key->name));
        } else if (std::holds_alternative<answers::Close>(what)) {
            dialog.close();
        } else if (const auto* set = std::get_if<answers::Set>(&what)) {
            for (int r = 0; table && r < table->rowCount(); ++r)
                for (const auto& [name, text] : set->rows)
                    if (Cell(*table, r, 0) == name) {
                        ClickCell(*table, r, 1);
                        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
                        Type(text);
                    }
            Press(dialog, set->button);
        } else if (const auto* actions = std::get_if<answers::Actions>(&what)) {
            for (const auto& action : actions->actions) {
                if (!alive || !alive->isVisible()) return Fail("an action after the window closed");
                if (action.verb == "click") ClickCell(*table, action.row, action.col);
                if (action.verb == "type") Type(action.text);
                if (action.verb == "key") QTest::keyClick(QApplication::focusWidget(), QtKey(action.text));
                if (action.verb == "button") Press(dialog, action.text);
                if (action.verb == "close") dialog.close();
            }
        } else if (const auto* choose = std::get_if<answers::Choose>(&what)) {
            combo->setFocus(Qt::MouseFocusReason);
            combo->setCurrentIndex(choose->entry ? combo->findText(QString::fromStdString(*choose->entry)) : -1);
            Press(dialog, choose->button);
        } else {
            Fail("an answer that does not fit the window " + title);
        }
    }

    static std::string Cell(QTableWidget& table, int row, int col) {
        auto* item = table.item(row, col);
        return item ? item->text().toStdString() : std::string();
    }

    void ClickCell(QTableWidget& table, int row, int col) {
        QRect cell = table.visualRect(table.model()->index(row, col));
        QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
    }

    // Typing replaces the selection; typing nothing over a selection deletes it.
    void Type(const std::string& text) {
        QWidget* focus = QApplication::focusWidget();
        if (text.empty()) {
            if (auto* edit = qobject_cast<QLineEdit*>(focus); edit && edit->hasSelectedText())
                QTest::keyClick(focus, Qt::Key_Delete);
            return;
        }
        QTest::keyClicks(focus, QString::fromStdString(text));
    }

    void Press(QDialog& dialog, const std::string& caption) {
        for (auto* button : dialog.findChildren<QPushButton*>())
            if (button->text().toStdString() == caption && button->isVisible()) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        Fail("no button " + caption);
    }

    std::unique_ptr<qt::QtWindowSystem> windows_;
};

} // namespace

std::unique_ptr<WindowBackend> MakeQtBackend() {
    return std::make_unique<QtBackend>();
}

} // namespace quendra::test

#endif
