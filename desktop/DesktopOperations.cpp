// DesktopOperations: the platform's own operations on the desktop (editing values, release, check-out,
// check-in, approval, deleting a document, linking a search result), each run only when the check the
// platform's scripts call before it answers 0.
// SPDX-License-Identifier: Apache-2.0
#include "DesktopWindow.h"

#include "AttributeType.h"
#include "Descriptions.h"
#include "TreeItems.h"
#include "ValueJson.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <stdexcept>

namespace quendra::desktop {

namespace {

// Attributes that only the platform and the component's lock write; the edit dialog shows them read-only.
const char* const FixedAttributes[] = {"CLASS_ID", "OBJECT_ID", "STATE", "CN_LOCKED", "USER_OBJECT_ID", "USER_ID_MOD"};

bool IsFixed(const std::string& name) {
    for (const char* fixed : FixedAttributes)
        if (name == fixed) return true;
    return false;
}

// A value typed in the edit dialog, read in the attribute's type; empty text is no value.
Value ParseValue(const std::string& text, int32_t typeCode, const std::string& attribute) {
    if (text.empty()) return Value();
    auto wrong = [&](const char* kind) {
        return std::invalid_argument("\"" + text + "\" is no " + kind + " for " + attribute);
    };
    auto whole = [&](int64_t low, int64_t high) {
        int64_t number = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error != std::errc() || end != text.data() + text.size() || number < low || number > high)
            throw wrong("whole number in its range");
        return number;
    };
    switch (static_cast<AttributeType>(typeCode)) {
    case AttributeType::Int16:
        return Value::Int16(static_cast<int16_t>(whole(INT16_MIN, INT16_MAX)));
    case AttributeType::Int32:
        return Value::Int32(static_cast<int32_t>(whole(INT32_MIN, INT32_MAX)));
    case AttributeType::Double: {
        size_t used = 0;
        double number = 0;
        try {
            number = std::stod(text, &used);
        } catch (const std::exception&) {
            throw wrong("number");
        }
        if (used != text.size() || !std::isfinite(number)) throw wrong("number");
        return Value::Double(number);
    }
    case AttributeType::Bool:
        if (text == "True") return Value::Bool(true);
        if (text == "False") return Value::Bool(false);
        throw wrong("Boolean (True or False)");
    default:
        return Value::Text(text);
    }
}

} // namespace

void DesktopWindow::SetModalHook(std::function<void(QDialog&)> hook) {
    modalHook_ = hook;
    windows_.SetModalHook(std::move(hook));
}

int DesktopWindow::RunModal(QDialog& dialog) {
    QTimer::singleShot(0, &dialog, [this, &dialog] {
        dialog.activateWindow();
        if (modalHook_) modalHook_(dialog);
    });
    return dialog.exec();
}

bool DesktopWindow::Check(const QModelIndex& item, playback::ScenarioStep step) {
    auto result = RunStep(step, item);
    return result && *result == 0;
}

void DesktopWindow::Store(const std::string& what, embedded::ObjectKey key,
                          const std::function<void(CvSession& session, const Ptr<CvObject>& object)>& work) {
    auto& harness = database_->Harness();
    harness.ClearEvents();
    std::ostringstream out;
    out << "-- " << user_ << " " << what << " " << hooks_.World().Name(key) << '\n';
    try {
        auto session = database_->Login(user_, windows_);
        auto object = session->ObjectStore()->ObjectById(key.classId, key.objectId)->WorkingObject();
        object->Retrieve();
        Busy(what, [&] { work(*session, object); });
    } catch (const std::exception& error) {
        out << "   failed: " << error.what() << '\n';
    }
    auto events = harness.Events();
    for (const auto& event : events)
        out << "   event " << playback::Descriptions::EventLine(event, hooks_.World()) << '\n';
    log_->appendPlainText(QString::fromStdString(out.str()).trimmed());
    ApplyEvents(events, ItemOf(key));
}

bool DesktopWindow::IsDocument(const QModelIndex& item) {
    auto session = database_->Login(user_, windows_);
    auto documents = session->MetaInfo()->ClassByName("Documents");
    if (!documents) return false;
    auto object = session->ObjectStore()->ObjectById(KeyOf(item).classId, KeyOf(item).objectId);
    return object->Class()->BelongsToClass(documents->ClassId());
}

std::optional<std::vector<std::pair<std::string, Value>>> DesktopWindow::AskValues(CvObject& object) {
    QDialog dialog(this);
    dialog.setWindowTitle("Edit Values");
    auto* layout = new QVBoxLayout(&dialog);
    auto* grid = new QTableWidget(0, 2);
    grid->setObjectName("Values");
    grid->setHorizontalHeaderLabels({"Attribute", "Value"});
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->verticalHeader()->hide();
    auto definitions = object.Class()->AttributeDefs();
    auto data = object.Data();
    std::vector<Ptr<CvAttributeDef>> shown;
    for (int32_t i = 0; i < definitions->Count(); ++i) {
        auto definition = definitions->Item(i);
        int row = grid->rowCount();
        grid->insertRow(row);
        auto* name = new QTableWidgetItem(QString::fromStdString(definition->DisplayName()));
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        grid->setItem(row, 0, name);
        auto* value = new QTableWidgetItem(
            QString::fromStdString(ShownValue(definition->Name(), data->GetValue(definition->Name()))));
        if (IsFixed(definition->Name())) value->setFlags(value->flags() & ~Qt::ItemIsEditable);
        grid->setItem(row, 1, value);
        shown.push_back(definition);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(grid);
    layout->addWidget(buttons);
    dialog.resize(480, 360);
    if (RunModal(dialog) != QDialog::Accepted) return std::nullopt;
    std::vector<std::pair<std::string, Value>> changed;
    for (int row = 0; row < grid->rowCount(); ++row) {
        auto& definition = shown[static_cast<size_t>(row)];
        auto text = grid->item(row, 1)->text().toStdString();
        if (IsFixed(definition->Name()) || text == data->GetValue(definition->Name()).AsText()) continue;
        changed.emplace_back(definition->Name(), ParseValue(text, definition->TypeCode(), definition->DisplayName()));
    }
    return changed;
}

void DesktopWindow::EditValues(QModelIndex item) {
    auto key = KeyOf(item);
    // The update guard before the dialog opens, the update check on the values as changed before they are stored.
    if (!Check(item, hooks_.StepOn("IsLockedForUpdate", user_, KeyOf(item)))) return;
    std::optional<std::vector<std::pair<std::string, Value>>> changed;
    {
        auto session = database_->Login(user_, windows_);
        auto object = session->ObjectStore()->ObjectById(key.classId, key.objectId)->WorkingObject();
        object->Retrieve();
        changed = AskValues(*object);
    }
    if (!changed || changed->empty() || !(item = ItemOf(key)).isValid()) return;
    auto step = hooks_.StepOn("BeforeUpdate", user_, KeyOf(item));
    auto& row = step.rows->front();
    row.kind = playback::RowArg::Kind::Record;
    Json values = Json::object();
    for (const auto& [name, value] : *changed) {
        row.values.emplace_back(name, playback::WrittenValue{JsonOfValue(value), row.path + "/values/" + name});
        values[name] = JsonOfValue(value);
    }
    row.written = {{"ref", row.ref}, {"values", values}};
    if (!Check(item, step)) return;
    Store("updates", key, [&](CvSession& session, const Ptr<CvObject>& object) {
        for (const auto& [name, value] : *changed) object->Data()->SetValue(name, value);
        object->Update(session.ObjectStore()->DefaultUpdateOptions());
    });
}

void DesktopWindow::Release(QModelIndex item) {
    auto key = KeyOf(item);
    if (!Check(item, hooks_.StepOn("BeforeNewReleaseObj", user_, key))) return;
    Store("releases", key, [](CvSession& session, const Ptr<CvObject>& object) {
        object->Data()->SetValue("STATE", Value::Int16(ReleasedState));
        object->Update(session.ObjectStore()->DefaultUpdateOptions());
    });
}

void DesktopWindow::CheckOutOrApprove(const QModelIndex& item, const std::string& operation, int16_t state) {
    auto key = KeyOf(item);
    auto step = hooks_.StepOn("BeforeCheckOutReleaseDocs", user_, KeyOf(item));
    step.texts["SelectOp"] = operation;
    if (!Check(item, step)) return;
    Store(operation == "Approve" ? "approves" : "checks out", key,
          [state](CvSession& session, const Ptr<CvObject>& object) {
              object->Data()->SetValue("STATE", Value::Int16(state));
              object->Update(session.ObjectStore()->DefaultUpdateOptions());
          });
}

void DesktopWindow::CheckIn(QModelIndex item) {
    auto key = KeyOf(item);
    Store("checks in", key, [](CvSession& session, const Ptr<CvObject>& object) {
        object->Data()->SetValue("STATE", Value::Int16(CheckedInState));
        object->Update(session.ObjectStore()->DefaultUpdateOptions());
    });
    // The platform tells the component of the check-in once it is stored.
    if ((item = ItemOf(key)).isValid()) RunStep(hooks_.StepOn("AfterCheckInDocuments", user_, KeyOf(item)), item);
}

void DesktopWindow::DeleteDocument(QModelIndex item) {
    auto key = KeyOf(item);
    if (!Check(item, hooks_.StepOn("BeforeDeleteDocuments", user_, key))) return;
    Store("deletes", key, [](CvSession& session, const Ptr<CvObject>& object) {
        object->Delete(session.ObjectStore()->DefaultUpdateOptions());
    });
}

void DesktopWindow::LinkResultBelow(QModelIndex item) {
    auto* result = results_->currentItem();
    if (!result) return;
    embedded::ObjectKey parent = KeyOf(item);
    embedded::ObjectKey child{static_cast<int16_t>(result->data(ClassRole).toInt()), result->data(ObjectRole).toInt()};
    auto step = hooks_.Step("BeforeAddPartsTreeLink", user_);
    playback::RowArg row;
    row.kind = playback::RowArg::Kind::PendingLink;
    row.path = step.path + "/rows/0";
    row.className = "Parts Tree";
    row.parent = hooks_.RefOf(parent);
    row.child = hooks_.RefOf(child);
    row.written = {{"class", row.className}, {"parent", row.parent}, {"child", row.child}};
    step.rows = std::vector<playback::RowArg>{row};
    if (!Check(item, step)) return;
    Store("links below", parent, [&](CvSession& session, const Ptr<CvObject>& object) {
        auto store = session.ObjectStore();
        auto linkClass = session.MetaInfo()->ClassByName("Parts Tree");
        if (!linkClass) throw std::invalid_argument("the model has no link class \"Parts Tree\"");
        auto link = object->NewLink(linkClass->ClassId(), store->ObjectById(child.classId, child.objectId));
        link->Insert(store->DefaultUpdateOptions());
    });
}

} // namespace quendra::desktop
