// QtPlatformDialogs: the embedded platform's query, result and new-object dialogs as Qt dialogs.
// SPDX-License-Identifier: Apache-2.0
#include "QtPlatformDialogs.h"

#include "AttributeType.h"
#include "CvError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QVBoxLayout>

#include <algorithm>

namespace quendra::qt {

namespace {

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

QDialogButtonBox* AddButtons(QDialog& dialog, QLayout* layout) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return buttons;
}

// A typed value from what the user wrote; an empty text is no value.
Value ReadValue(int32_t typeCode, const std::string& text) {
    if (text.empty()) return Value();
    Value written = Value::Text(text);
    switch (static_cast<AttributeType>(typeCode)) {
    case AttributeType::Int16:
        return Value::Int16(written.AsInt16());
    case AttributeType::Int32:
        return Value::Int32(written.AsInt32());
    case AttributeType::Double:
        return Value::Double(written.AsDouble());
    case AttributeType::Bool:
        return Value::Bool(written.AsBool());
    default:
        return written;
    }
}

using Dialog = answering::records::Platform::Dialog;

answering::WindowRecord PlatformRecord(Dialog dialog, const std::string& className = "") {
    return {answering::records::Platform{dialog, className}, ""};
}

} // namespace

bool QtPlatformDialogs::RunQueryDialog(const std::vector<std::pair<int16_t, std::string>>& classNames,
                                       embedded::SearchQuery& query) {
    QDialog dialog;
    dialog.setWindowTitle("Search");
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    auto* classes = new QComboBox(&dialog);
    classes->setObjectName("Class");
    classes->addItem("Every class", 0);
    for (const auto& [id, name] : classNames) classes->addItem(ToQt(name), id);
    auto* attribute = new QLineEdit(&dialog);
    attribute->setObjectName("Attribute");
    attribute->setPlaceholderText("attribute name");
    auto* text = new QLineEdit(&dialog);
    text->setObjectName("Text");
    text->setPlaceholderText("text it contains");
    form->addRow("Class", classes);
    form->addRow("Attribute", attribute);
    form->addRow("Contains", text);
    auto* buttons = AddButtons(dialog, layout);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    size_t place = Log().Shown(PlatformRecord(Dialog::Query));
    bool confirmed = RunModal(dialog) == QDialog::Accepted;
    // What was searched for is not kept: a replay names the objects picked from the results.
    using Mode = answering::answers::Search::Mode;
    Log().QueryAnswered(place, {answering::answers::Search{confirmed ? Mode::Pick : Mode::CancelQuery, {}}, ""});
    if (!confirmed) return false;
    query.classId = static_cast<int16_t>(classes->currentData().toInt());
    query.conditions.clear();
    if (!attribute->text().trimmed().isEmpty())
        query.conditions.emplace_back(attribute->text().trimmed().toStdString(), text->text().toStdString());
    return true;
}

bool QtPlatformDialogs::RunResultDialog(const std::vector<embedded::SearchCandidate>& found,
                                        std::vector<embedded::ObjectKey>& picked) {
    QDialog dialog;
    dialog.setWindowTitle("Search Results");
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QListWidget(&dialog);
    list->setObjectName("Results");
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    for (const auto& candidate : found) list->addItem(ToQt(candidate.className + " " + candidate.displayText));
    layout->addWidget(new QLabel("Pick the objects, in the order wanted:", &dialog));
    layout->addWidget(list);
    // The picks keep the order in which the user selected them.
    std::vector<int> order;
    QObject::connect(list, &QListWidget::itemSelectionChanged, list, [&order, list] {
        std::vector<int> selected;
        for (auto* item : list->selectedItems()) selected.push_back(list->row(item));
        std::erase_if(order,
                      [&](int row) { return std::find(selected.begin(), selected.end(), row) == selected.end(); });
        for (int row : selected)
            if (std::find(order.begin(), order.end(), row) == order.end()) order.push_back(row);
    });
    auto* buttons = AddButtons(dialog, layout);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    size_t place = Log().Shown(PlatformRecord(Dialog::Results));
    bool confirmed = RunModal(dialog) == QDialog::Accepted;
    std::vector<embedded::ObjectKey> chosen;
    for (int row : order) chosen.push_back(found[static_cast<size_t>(row)].key);
    Log().ResultsAnswered(place, confirmed, chosen);
    if (!confirmed) return false;
    picked = chosen;
    return true;
}

bool QtPlatformDialogs::RunNewObjectDialog(const std::string& className,
                                           std::vector<embedded::NewObjectField>& fields) {
    QDialog dialog;
    dialog.setWindowTitle(ToQt("New " + className));
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    std::vector<QWidget*> editors;
    for (const auto& field : fields) {
        QString label = ToQt(field.displayName) + (field.mandatory ? " *" : "");
        QWidget* editor = nullptr;
        if (!field.lookup.empty()) {
            auto* combo = new QComboBox(&dialog);
            combo->addItem(QString());
            for (const auto& [text, code] : field.lookup) {
                combo->addItem(ToQt(text), code);
                if (!field.value.IsNull() && field.value.AsText() == std::to_string(code))
                    combo->setCurrentIndex(combo->count() - 1);
            }
            editor = combo;
        } else if (static_cast<AttributeType>(field.typeCode) == AttributeType::Bool) {
            auto* check = new QCheckBox(&dialog);
            check->setChecked(field.value.AsBool());
            editor = check;
        } else {
            editor = new QLineEdit(ToQt(field.value.AsText()), &dialog);
        }
        editor->setObjectName(ToQt(field.name));
        form->addRow(label, editor);
        editors.push_back(editor);
    }
    auto* buttons = AddButtons(dialog, layout);
    std::vector<Value> values(fields.size());
    // A value that does not read in its attribute's type keeps the dialog open.
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        for (size_t i = 0; i < fields.size(); ++i) {
            const auto& field = fields[i];
            try {
                if (auto* combo = qobject_cast<QComboBox*>(editors[i])) {
                    values[i] = combo->currentIndex() <= 0
                                    ? Value()
                                    : ReadValue(field.typeCode, std::to_string(combo->currentData().toInt()));
                } else if (auto* check = qobject_cast<QCheckBox*>(editors[i])) {
                    values[i] = Value::Bool(check->isChecked());
                } else {
                    values[i] = ReadValue(field.typeCode, qobject_cast<QLineEdit*>(editors[i])->text().toStdString());
                }
            } catch (const CvError& error) {
                QMessageBox::warning(&dialog, dialog.windowTitle(), ToQt(field.displayName + ": " + error.what()));
                editors[i]->setFocus();
                return;
            }
        }
        dialog.accept();
    });
    size_t place = Log().Shown(PlatformRecord(Dialog::NewObject, className));
    bool accepted = RunModal(dialog) == QDialog::Accepted;
    // The answer fills only the values the person changed; the others stay as the platform gave them.
    answering::answers::Fill fill{{}, accepted ? "OK" : "Cancel"};
    for (size_t i = 0; accepted && i < fields.size(); ++i)
        if (values[i] != fields[i].value) fill.values.emplace_back(fields[i].name, values[i]);
    Log().Answered(place, {fill, ""});
    if (!accepted) return false;
    for (size_t i = 0; i < fields.size(); ++i) fields[i].value = values[i];
    return true;
}

} // namespace quendra::qt
