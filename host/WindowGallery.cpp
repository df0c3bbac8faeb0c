// WindowGallery: pictures of every window the Qt toolkit draws, for the user documentation (`quendra windows`).
// SPDX-License-Identifier: Apache-2.0
#include "WindowGallery.h"

#include "AttributeType.h"
#include "ClsForm.h"
#include "CvError.h"
#include "QtWindowSystem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>

#include <functional>
#include <utility>
#include <vector>

namespace quendra::host {

namespace {

// The sample file types, as the platform's lookup table would hold them.
class SampleLookupTable : public CvLookupTable {
public:
    int32_t Count() override { return static_cast<int32_t>(entries_.size()); }
    Ptr<CvLookupEntry> Item(int16_t position) override {
        if (position < 0 || static_cast<size_t>(position) >= entries_.size()) throw CvError("no such entry");
        return std::make_shared<Entry>(entries_[static_cast<size_t>(position)]);
    }
    Ptr<CvLookupEntry> ItemByText(const std::string& text) override {
        for (const auto& entry : entries_)
            if (entry.first == text) return std::make_shared<Entry>(entry);
        return nullptr;
    }

private:
    struct Entry : CvLookupEntry {
        explicit Entry(std::pair<std::string, int32_t> entry) : entry_(std::move(entry)) {}
        std::string Text() override { return entry_.first; }
        int32_t Code() override { return entry_.second; }
        std::pair<std::string, int32_t> entry_;
    };
    std::vector<std::pair<std::string, int32_t>> entries_ = {
        {"Drawing", 12}, {"Model", 14}, {"Text Document", 3}, {"Picture", 20}};
};

QApplication* EnsureApplication() {
    if (auto* running = qobject_cast<QApplication*>(QCoreApplication::instance())) return running;
    if (QCoreApplication::instance()) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quendra";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends, as an application object does.
    return new QApplication(argc, argv);
}

// Pictures the windows shown while it lives: each is prepared, pictured and then closed as its user
// would close it.
class Camera {
public:
    explicit Camera(const QDir& dir) : dir_(dir) {
        windows_.SetModalHook([this](QDialog& dialog) {
            if (prepare_) prepare_(dialog);
            QCoreApplication::processEvents();
            if (!dialog.grab().save(dir_.filePath(QString::fromStdString(picture_ + ".png")))) ++failures_;
            if (auto* box = qobject_cast<QMessageBox*>(&dialog); box && box->defaultButton()) {
                box->defaultButton()->click();
            } else {
                dialog.close();
            }
        });
    }

    qt::QtWindowSystem& Windows() { return windows_; }
    // Pictures the window that `show` shows as `name`.png, after `setUp` prepared it.
    void Shoot(std::string name, std::function<void(QDialog&)> setUp, const std::function<void()>& show) {
        picture_ = std::move(name);
        prepare_ = std::move(setUp);
        show();
    }
    int Failures() const { return failures_; }

private:
    QDir dir_;
    qt::QtWindowSystem windows_;
    std::string picture_;
    std::function<void(QDialog&)> prepare_;
    int failures_ = 0;
};

void ShootMessageBoxes(Camera& camera) {
    const std::vector<std::tuple<std::string, ui::Icon, ui::Buttons, std::string>> boxes = {
        {"messagebox-information", ui::Icon::Information, ui::Buttons::Ok, "You Selected an Incorrect Object"},
        {"messagebox-exclamation", ui::Icon::Exclamation, ui::Buttons::Ok,
         "Please Contact your Administrator\r\nUpload Configuration in the Script is wrong\r\nFile Type \"Drawing\" is "
         "wrongly defined for the extension \"dwg\""},
        {"messagebox-critical", ui::Icon::Critical, ui::Buttons::Ok,
         "Please Contact your Administrator\r\nUpload Configuration in the Script is wrong"},
        {"messagebox-question", ui::Icon::Question, ui::Buttons::YesNo,
         "Do you want to place Document 'D-000003-Bracket drawing' on the CORVANT desktop?"},
    };
    for (const auto& [name, icon, buttons, text] : boxes)
        camera.Shoot(name, nullptr,
                     [&] { camera.Windows().MessageBox(text, "Quendra", icon, buttons, ui::Answer::Yes); });
}

// The component's own windows.
void ShootForms(Camera& camera) {
    ClsForm form(camera.Windows());
    camera.Shoot("message-window", nullptr,
                 [&] { form.ShowMessage("New Part Development process creation for Part P-000013-Bracket"); });
    camera.Shoot("file-type", nullptr, [&] { form.ShowFileType(std::make_shared<SampleLookupTable>(), "dwg"); });
    camera.Shoot(
        "link-attributes",
        [](QDialog& dialog) {
            // An edit in progress: the second value, partly retyped.
            if (auto* table = dialog.findChild<QTableWidget*>()) table->setCurrentCell(1, 1);
            if (auto* edit = dialog.findChild<QLineEdit*>(); edit && edit->isVisible()) {
                edit->setText("12");
                edit->setCursorPosition(2);
            }
        },
        [&] {
            std::vector<std::string> values = {"2", "10", "A4", "spare part"};
            form.ShowLinkAttributes({"Quantity", "Find Number", "Position", "Remark"}, values);
        });
}

// The platform's dialogs.
void ShootPlatformDialogs(Camera& camera) {
    std::vector<embedded::NewObjectField> fields(4);
    fields[0] = {"CN_PART_NUMBER", "Part Number", 1, true, {}, Value::Text("P-000013")};
    fields[1] = {"CN_DESCRIPTION", "Description", 1, true, {}, Value()};
    fields[2] = {"CN_UNIT", "Unit", 2, false, {{"Piece", 1}, {"Metre", 2}, {"Kilogram", 3}}, Value::Int16(1)};
    fields[3] = {"CN_STANDARD", "Standard", static_cast<int32_t>(AttributeType::Bool), false, {}, Value::Bool(false)};
    camera.Shoot("new-object", nullptr, [&] { camera.Windows().RunNewObjectDialog("Part", fields); });

    camera.Shoot("query", nullptr, [&] {
        embedded::SearchQuery query;
        camera.Windows().RunQueryDialog({{11, "Part"}, {12, "Assembly"}, {21, "Document"}}, query);
    });
    camera.Shoot(
        "results",
        [](QDialog& dialog) {
            if (auto* list = dialog.findChild<QListWidget*>()) {
                list->item(2)->setSelected(true);
                list->item(0)->setSelected(true);
            }
        },
        [&] {
            std::vector<embedded::ObjectKey> picked;
            camera.Windows().RunResultDialog({{{11, 2}, "Part", "P-000002-Bracket"},
                                              {{11, 3}, "Part", "P-000003-Shaft"},
                                              {{11, 4}, "Part", "P-000004-Cover"},
                                              {{12, 5}, "Assembly", "P-000005-Gearbox"}},
                                             picked);
        });
}

} // namespace

int RenderWindowGallery(const std::string& outDir) {
    if (!EnsureApplication()) return 1;
    QDir dir(QString::fromStdString(outDir));
    if (!dir.mkpath(".")) return 1;
    Camera camera(dir);
    ShootMessageBoxes(camera);
    ShootForms(camera);
    ShootPlatformDialogs(camera);
    return camera.Failures() == 0 ? 0 : 1;
}

} // namespace quendra::host
