// The Qt toolkit's open-file dialog, the platform's dialogs and the window pictures.
// SPDX-License-Identifier: Apache-2.0
#ifdef QUENDRA_TEST_WITH_QT

#include "ClsForm.h"
#include "FrmFileType.h"
#include "QtApplication.h"
#include "QtCommonDialog.h"
#include "QtWindowSystem.h"
#include "WindowGallery.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace quendra::qt {
namespace {

class QtToolkit : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::QtApplication(); }

    // Plays the user on the next dialog, then presses its OK (or Cancel) button.
    void Answer(std::function<void(QDialog&)> play, bool accept = true) {
        windows_.SetModalHook([play, accept](QDialog& dialog) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            if (qobject_cast<QMessageBox*>(&dialog)) return;
            if (play) play(dialog);
            if (!dialog.isVisible()) return;
            auto* box = dialog.findChild<QDialogButtonBox*>();
            QTest::mouseClick(box->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel), Qt::LeftButton);
        });
    }

    QtWindowSystem windows_;
};

TEST_F(QtToolkit, FilterInTheOpenFileDialogsForm) {
    EXPECT_EQ(QtCommonDialog::NameFilters("All Basic Supported Types(*.dwg;*.DÄT)|*.dwg;*.DÄT|All Files (*.*)|*.*"),
              (QStringList{"All Basic Supported Types(*.dwg;*.DÄT) (*.dwg *.D?T)", "All Files (*.*) (*.*)"}));
}

TEST_F(QtToolkit, TheOpenFileDialogShowsTheFilterTextsAsGiven) {
    QStringList shown;
    Answer(
        [&](QDialog& dialog) {
            auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
            ASSERT_NE(types, nullptr);
            for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
        },
        false);
    auto openFile = windows_.CreateCommonDialog();
    openFile->SetFilter("All Basic Supported Types(*.DWG;*.doc)|*.DWG;*.doc|All Files (*.*)|*.*");
    openFile->SetFlags(0x80204);
    openFile->ShowOpen();
    EXPECT_EQ(shown, (QStringList{"All Basic Supported Types(*.DWG;*.doc)", "All Files (*.*)"}));
    EXPECT_EQ(openFile->FileName(), "");
}

// The text box lies exactly on the value cell from the first edit on, and after a click on another.
TEST_F(QtToolkit, TheEditorsTextBoxCoversItsValueCell) {
    std::vector<std::pair<QRect, QRect>> placed; // the text box and the cell, once per edit
    Answer([&](QDialog& dialog) {
        auto* grid = dialog.findChild<QTableWidget*>("MSFlexGrid1");
        auto* edit = dialog.findChild<QLineEdit*>("Text1");
        auto note = [&](int row) {
            const QRect item = grid->visualItemRect(grid->item(row, 1));
            placed.emplace_back(edit->geometry(), QRect(grid->viewport()->mapTo(&dialog, item.topLeft()), item.size()));
        };
        note(0);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(1, 1)).center());
        note(1);
        QTest::mouseClick(dialog.findChild<QPushButton*>("CmdCancel"), Qt::LeftButton);
    });
    std::vector<std::string> values = {"2", "10"};
    EXPECT_FALSE(ClsForm(windows_).ShowLinkAttributes({"Quantity", "Position"}, values));
    ASSERT_EQ(placed.size(), 2u);
    for (const auto& [box, cell] : placed) EXPECT_EQ(box, cell);
}

// Enter while the window itself has the focus acts as OK.
TEST_F(QtToolkit, EnterOnTheFileTypeWindowChoosesTheSelectedEntry) {
    Answer([](QDialog& dialog) {
        dialog.setFocus();
        QTest::keyClick(&dialog, Qt::Key_Return);
        if (dialog.isVisible()) QTest::mouseClick(dialog.findChild<QPushButton*>("CmdCancel"), Qt::LeftButton);
    });
    FrmFileType form(windows_);
    form.CmbFileType().AddItem("Drawing");
    form.CmbFileType().AddItem("Model");
    form.CmbFileType().SetListIndex(1);
    form.Show();
    EXPECT_EQ(form.Selection, 1);
}

TEST_F(QtToolkit, NewObjectDialogReadsValuesInTheirTypes) {
    std::vector<embedded::NewObjectField> fields(4);
    fields[0] = {"CN_DESCRIPTION", "Description", 1, true, {}, Value()};
    fields[1] = {"CN_QUANTITY", "Quantity", 2, false, {}, Value::Int16(1)};
    fields[2] = {"FILE_TYPE", "File Type", 2, false, {{"Drawing", 12}, {"Model", 14}}, Value()};
    fields[3] = {"CN_STANDARD", "Standard", 15, false, {}, Value::Bool(false)};
    bool warned = false;
    Answer([&](QDialog& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>("CN_DESCRIPTION"), "Bracket");
        auto* quantity = dialog.findChild<QLineEdit*>("CN_QUANTITY");
        quantity->selectAll();
        QTest::keyClicks(quantity, "many");
        // A quantity that is no number is refused with a warning, and the dialog stays.
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                warned = true;
                box->accept();
            }
        });
        QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        quantity->selectAll();
        QTest::keyClicks(quantity, "7");
        dialog.findChild<QComboBox*>("FILE_TYPE")->setCurrentIndex(2);
        auto* standard = dialog.findChild<QCheckBox*>("CN_STANDARD");
        standard->setFocus();
        QTest::keyClick(standard, Qt::Key_Space);
    });
    ASSERT_TRUE(windows_.RunNewObjectDialog("Part", fields));
    EXPECT_TRUE(warned);
    EXPECT_EQ(fields[0].value, Value::Text("Bracket"));
    EXPECT_EQ(fields[1].value, Value::Int16(7));
    EXPECT_EQ(fields[2].value, Value::Int16(14));
    EXPECT_EQ(fields[3].value, Value::Bool(true));

    Answer([](QDialog& dialog) { QTest::keyClicks(dialog.findChild<QLineEdit*>("CN_DESCRIPTION"), "x"); }, false);
    EXPECT_FALSE(windows_.RunNewObjectDialog("Part", fields));
    EXPECT_EQ(fields[0].value, Value::Text("Bracket"));
}

TEST_F(QtToolkit, GalleryPicturesEveryWindow) {
    QTemporaryDir dir;
    ASSERT_EQ(host::RenderWindowGallery(dir.path().toStdString()), 0);
    for (const char* name :
         {"messagebox-information", "messagebox-exclamation", "messagebox-critical", "messagebox-question",
          "message-window", "file-type", "link-attributes", "new-object", "query", "results"}) {
        SCOPED_TRACE(name);
        QImage picture(dir.filePath(QString(name) + ".png"));
        EXPECT_FALSE(picture.isNull());
        EXPECT_GT(picture.width(), 100);
    }
}

} // namespace
} // namespace quendra::qt

#endif
