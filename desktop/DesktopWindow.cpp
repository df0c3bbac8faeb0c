// DesktopWindow: a person starts one operation at a time; after each hook call the tree reads again what
// the platform's events name.
// SPDX-License-Identifier: Apache-2.0
#include "DesktopWindow.h"

#include "DatabaseFile.h"
#include "EmbeddedCommonGUI.h"
#include "HookCatalog.h"
#include "PlatformDatabase.h"
#include "TreeItems.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <set>
#include <stdexcept>

namespace quendra::desktop {

namespace {

// Platform writes between two updates of the busy indicator.
constexpr size_t WritesPerUpdate = 100;
// The attributes the search looks for its text in.
const char* const SearchAttributes[] = {"CN_PART_NUMBER", "CN_DESCRIPTION"};
} // namespace

DesktopWindow::DesktopWindow(std::shared_ptr<embedded::Database> database, std::string path, std::string user,
                             DesktopConfig config)
    : database_(std::move(database)), path_(std::move(path)), user_(std::move(user)),
      hooks_(*database_, windows_, path_, std::move(config)), tree_(*database_, logins_) {
    for (const auto& [id, login] : playback::DatabaseFile::Users(path_)) logins_[id] = login;
    hooks_.SetDefaultUser(user_);
    BuildWindow();
    SwitchUser(user_);
}

DesktopWindow::~DesktopWindow() {
    database_->Harness().SetEventListener(nullptr);
    tree_.View()->disconnect(this);
    tree_.View()->selectionModel()->disconnect(this);
    results_->disconnect(this);
}

void DesktopWindow::Busy(const std::string& operation, const std::function<void()>& work) {
    busyWith_ = operation;
    writes_ = 0;
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
    tools_->setEnabled(false);
    struct Done {
        DesktopWindow& window;
        ~Done() {
            window.busyWith_.clear();
            window.busyText_->hide();
            window.busyBar_->hide();
            window.centralWidget()->setEnabled(true);
            window.menuBar()->setEnabled(true);
            window.tools_->setEnabled(true);
        }
    } done{*this};
    work();
}

void DesktopWindow::Counted(const embedded::Event& event) {
    if (!IsBusy() || !(std::holds_alternative<embedded::events::Insert>(event) ||
                       std::holds_alternative<embedded::events::Update>(event) ||
                       std::holds_alternative<embedded::events::Delete>(event)))
        return;
    // The platform works on this thread: the window is drawn and moved from here while it does.
    if (++writes_ % WritesPerUpdate != 0) return;
    busyText_->setText(QString::fromStdString(busyWith_ + ": " + std::to_string(writes_) + " platform writes so far"));
    busyText_->show();
    busyBar_->show();
    QApplication::processEvents();
}

void DesktopWindow::BuildWindow() {
    auto* search = BuildSearch();
    BuildTree();
    attributes_ = new QTableWidget(0, 2);
    attributes_->setHorizontalHeaderLabels({"Attribute", "Value"});
    attributes_->horizontalHeader()->setStretchLastSection(true);
    attributes_->verticalHeader()->hide();
    attributes_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    log_ = new QPlainTextEdit;
    log_->setReadOnly(true);
    log_->setFont(QFont("monospace"));

    auto* top = new QSplitter(Qt::Horizontal);
    top->addWidget(search);
    top->addWidget(tree_.View());
    top->addWidget(attributes_);
    top->setStretchFactor(1, 3);
    top->setStretchFactor(2, 1);
    auto* whole = new QSplitter(Qt::Vertical);
    whole->addWidget(top);
    whole->addWidget(log_);
    whole->setStretchFactor(0, 3);
    whole->setStretchFactor(1, 1);
    setCentralWidget(whole);

    tools_ = addToolBar("Operations");
    tools_->setObjectName("Operations");
    busyText_ = new QLabel;
    busyBar_ = new QProgressBar;
    busyBar_->setRange(0, 0); // a count of writes, with no end known
    busyBar_->setMaximumWidth(160);
    statusBar()->addWidget(busyText_);
    statusBar()->addWidget(busyBar_);
    busyText_->hide();
    busyBar_->hide();
    database_->Harness().SetEventListener([this](const embedded::Event& event) { Counted(event); });
    BuildMenus();
}

QWidget* DesktopWindow::BuildSearch() {
    auto* search = new QWidget;
    auto* searchLayout = new QVBoxLayout(search);
    searchLayout->setContentsMargins(0, 0, 0, 0);
    auto* searchRow = new QHBoxLayout;
    classes_ = new QComboBox;
    auto* storage = dynamic_cast<embedded::PlatformDatabase*>(database_.get());
    if (storage)
        for (const auto& [id, name] : storage->StorageOf()->ObjectClassNames())
            classes_->addItem(QString::fromStdString(name), id);
    text_ = new QLineEdit;
    text_->setPlaceholderText("Number or description");
    auto* find = new QPushButton("Search");
    searchRow->addWidget(classes_);
    searchRow->addWidget(text_, 1);
    searchRow->addWidget(find);
    searchLayout->addLayout(searchRow);
    results_ = new QListWidget;
    searchLayout->addWidget(results_);
    connect(find, &QPushButton::clicked, this, [this] { Guarded([this] { RunSearch(); }); });
    connect(text_, &QLineEdit::returnPressed, this, [this] { Guarded([this] { RunSearch(); }); });
    connect(results_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { Guarded([&] { OpenResult(results_->row(item)); }); });
    connect(results_, &QListWidget::currentItemChanged, this, [this] { UpdateTools(); });
    return search;
}

void DesktopWindow::BuildTree() {
    auto* tree = tree_.View();
    connect(tree, &QTreeView::expanded, this, [this](const QModelIndex& item) {
        if (IsMore(item)) return;
        if (!item.data(LoadedRole).toBool()) Guarded([&] { tree_.LoadChildren(item); });
    });
    connect(tree, &QTreeView::activated, this, [this](const QModelIndex& item) {
        if (IsMore(item)) Guarded([&] { tree_.LoadMore(item.siblingAtColumn(0)); });
    });
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& item) {
        ShowAttributes(item);
        UpdateTools();
    });
    connect(tree, &QTreeView::customContextMenuRequested, this, [this, tree](const QPoint& at) {
        auto item = tree->indexAt(at);
        if (!item.isValid() || IsMore(item)) return;
        MenuFor(item.siblingAtColumn(0))->popup(tree->viewport()->mapToGlobal(at));
    });
}

void DesktopWindow::BuildMenus() {
    auto* file = menuBar()->addMenu("&File");
    record_ = file->addAction("&Record...");
    record_->setCheckable(true);
    connect(record_, &QAction::triggered, this, [this] {
        Guarded([this] {
            if (IsRecording()) return StopRecording();
            QFileDialog dialog(this, "Record to");
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setNameFilter("Scenario files (*.json)");
            dialog.setDefaultSuffix("json");
            if (RunModal(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
                StartRecording(dialog.selectedFiles().front().toStdString());
        });
        record_->setChecked(IsRecording());
    });
    file->addAction("&Close", QKeySequence::Close, this, &QWidget::close);

    auto* view = menuBar()->addMenu("&View");
    auto* refresh = view->addAction("&Refresh");
    refresh->setShortcut(QKeySequence::Refresh);
    connect(refresh, &QAction::triggered, this, [this] { Guarded([this] { Refresh(); }); });

    auto* userMenu = menuBar()->addMenu("&User");
    users_ = new QActionGroup(this);
    for (const auto& [id, login] : logins_) {
        auto* action = userMenu->addAction(QString::fromStdString(login));
        action->setCheckable(true);
        users_->addAction(action);
        connect(action, &QAction::triggered, this, [this, name = login] { SwitchUser(name); });
    }
}

void DesktopWindow::Guarded(const std::function<void()>& work) {
    if (IsBusy()) {
        log_->appendPlainText(QString::fromStdString("busy with " + busyWith_ + ": wait until it ends"));
        return;
    }
    // A database that another process holds, or that went away, is said in the log; the window stays.
    try {
        work();
    } catch (const std::exception& error) {
        log_->appendPlainText(QString::fromStdString(std::string("failed: ") + error.what()));
    }
}

void DesktopWindow::SwitchUser(const std::string& login) {
    if (!database_->UserId(login)) throw std::invalid_argument("there is no user \"" + login + "\" in " + path_);
    user_ = login;
    hooks_.SetDefaultUser(login);
    for (auto* action : users_->actions()) action->setChecked(action->text().toStdString() == login);
    setWindowTitle(QString::fromStdString(path_ + " - " + login + " - Quendra desktop"));
    log_->appendPlainText(QString::fromStdString("logged in as " + login));
    ShowAttributes(tree_.View()->currentIndex());
}

void DesktopWindow::StartRecording(const std::string& file) {
    if (IsRecording()) StopRecording();
    hooks_.StartRecording(file, path_);
    record_->setChecked(true);
    log_->appendPlainText(QString::fromStdString("recording to " + file));
}

void DesktopWindow::closeEvent(QCloseEvent* event) {
    // The platform is at work on this thread: the window stays until it is done.
    if (IsBusy()) return event->ignore();
    Guarded([this] { StopRecording(); });
    QMainWindow::closeEvent(event);
}

void DesktopWindow::StopRecording() {
    if (!IsRecording()) return;
    record_->setChecked(false);
    if (auto said = hooks_.StopRecording(path_)) log_->appendPlainText(QString::fromStdString(*said));
}

void DesktopWindow::Refresh() {
    tree_.Refresh();
    ShowAttributes(tree_.View()->currentIndex());
}

void DesktopWindow::Search(const std::string& className, const std::string& text) {
    int index = classes_->findText(QString::fromStdString(className));
    if (index >= 0) classes_->setCurrentIndex(index);
    text_->setText(QString::fromStdString(text));
    RunSearch();
}

void DesktopWindow::RunSearch() {
    results_->clear();
    auto* storage = dynamic_cast<embedded::PlatformDatabase*>(database_.get());
    if (!storage) return;
    embedded::SearchQuery query;
    query.classId = static_cast<int16_t>(classes_->currentData().toInt());
    std::string text = text_->text().toStdString();
    std::vector<embedded::SearchCandidate> found;
    if (text.empty()) {
        found = embedded::FindCandidates(*storage->StorageOf(), query);
    } else {
        std::set<std::pair<int16_t, int32_t>> seen;
        for (const char* attribute : SearchAttributes) {
            query.conditions = {{attribute, text}};
            for (auto& candidate : embedded::FindCandidates(*storage->StorageOf(), query))
                if (seen.insert({candidate.key.classId, candidate.key.objectId}).second)
                    found.push_back(std::move(candidate));
        }
    }
    for (const auto& candidate : found) {
        auto* item = new QListWidgetItem(QString::fromStdString(candidate.className + " " + candidate.displayText));
        item->setData(ClassRole, candidate.key.classId);
        item->setData(ObjectRole, candidate.key.objectId);
        results_->addItem(item);
    }
    if (results_->count() > 0) results_->setCurrentRow(0);
}

void DesktopWindow::OpenResult(int row) {
    auto* item = results_->item(row);
    if (item) OpenTree({static_cast<int16_t>(item->data(ClassRole).toInt()), item->data(ObjectRole).toInt()});
}

void DesktopWindow::OpenTree(embedded::ObjectKey key) {
    tree_.Open(key);
}

void DesktopWindow::Expand(const QModelIndex& item) {
    tree_.View()->expand(item);
}

QModelIndex DesktopWindow::FindItem(const std::string& displayStart) const {
    return tree_.FindItem(displayStart);
}

QModelIndex DesktopWindow::ItemOf(embedded::ObjectKey key) const {
    return tree_.ItemOf(key);
}

std::string DesktopWindow::ShownValue(const std::string& attribute, const Value& value) const {
    // The attributes that hold a user's object id show the user's login.
    if ((attribute == "USER_OBJECT_ID" || attribute == "USER_ID_MOD") && value.GetKind() != Value::Kind::Null)
        if (auto found = logins_.find(value.AsInt32()); found != logins_.end()) return found->second;
    return value.AsText();
}

void DesktopWindow::ShowAttributes(const QModelIndex& item) {
    attributes_->setRowCount(0);
    if (!item.isValid() || IsMore(item)) return;
    try {
        auto session = database_->Login(user_, windows_);
        auto object = session->ObjectStore()->ObjectById(KeyOf(item).classId, KeyOf(item).objectId);
        object->Retrieve();
        auto definitions = object->Class()->AttributeDefs();
        auto data = object->Data();
        for (int32_t i = 0; i < definitions->Count(); ++i) {
            auto definition = definitions->Item(i);
            int row = attributes_->rowCount();
            attributes_->insertRow(row);
            attributes_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(definition->DisplayName())));
            attributes_->setItem(row, 1,
                                 new QTableWidgetItem(QString::fromStdString(
                                     ShownValue(definition->Name(), data->GetValue(definition->Name())))));
        }
    } catch (const std::exception& error) {
        log_->appendPlainText(QString::fromStdString(std::string("cannot read the object: ") + error.what()));
    }
}

QMenu* DesktopWindow::MenuFor(const QModelIndex& item) {
    tree_.View()->setCurrentIndex(item);
    menu_ = BuildActions(item);
    return menu_.get();
}

void DesktopWindow::UpdateTools() {
    // The old actions may be the one running now: they go once it has returned.
    tools_->clear();
    if (toolActions_) toolActions_->deleteLater();
    toolActions_ = nullptr;
    auto item = tree_.View()->currentIndex().siblingAtColumn(0);
    if (!item.isValid() || IsMore(item)) return;
    toolActions_ = BuildActions(item).release();
    toolActions_->setParent(this, Qt::Popup);
    for (auto* action : toolActions_->actions())
        if (!action->isSeparator() || !tools_->actions().isEmpty()) tools_->addAction(action);
}

std::unique_ptr<QMenu> DesktopWindow::BuildActions(const QModelIndex& item) {
    auto menu = std::make_unique<QMenu>();
    // The actions may outlive the row: one that is gone does nothing.
    QPersistentModelIndex kept(item);
    auto add = [&](const char* caption, const char* hook, Row row) {
        connect(menu->addAction(caption), &QAction::triggered, this, [this, kept, hook, row] {
            if (kept.isValid()) Guarded([&] { Call(hook, kept, row); });
        });
    };
    auto run = [&](const char* caption, void (DesktopWindow::*operation)(QModelIndex)) {
        connect(menu->addAction(caption), &QAction::triggered, this, [this, kept, operation] {
            if (kept.isValid()) Guarded([&] { (this->*operation)(kept); });
        });
    };
    add("Lock", "LockObject", Row::Object);
    add("Unlock", "UnLockObject", Row::Object);
    menu->addSeparator();
    run("Edit Values...", &DesktopWindow::EditValues);
    run("Release", &DesktopWindow::Release);
    bool document = false;
    Guarded([&] { document = IsDocument(item); });
    if (document) {
        connect(menu->addAction("Check Out"), &QAction::triggered, this, [this, kept] {
            if (kept.isValid()) Guarded([&] { CheckOutOrApprove(kept, "CheckOut", CheckedOutState); });
        });
        run("Check In", &DesktopWindow::CheckIn);
        connect(menu->addAction("Approve"), &QAction::triggered, this, [this, kept] {
            if (kept.isValid()) Guarded([&] { CheckOutOrApprove(kept, "Approve", ReleasedState); });
        });
        run("Delete Document", &DesktopWindow::DeleteDocument);
    }
    menu->addSeparator();
    add("Add Existing Part...", "AddExistingPart", Row::Object);
    add("Add New Part...", "AddNewPart", Row::Object);
    add("Add Main Part...", "AddMainPart", Row::Object);
    add("Copy Children From...", "CopyTreeFrom", Row::None);
    add("Upload Documents...", "UploadDocument", Row::Object);
    // A search result is offered for linking below the row unless it is the row's object or above it.
    if (auto* result = results_->currentItem()) {
        embedded::ObjectKey picked{static_cast<int16_t>(result->data(ClassRole).toInt()),
                                   result->data(ObjectRole).toInt()};
        bool above = false;
        for (auto up = item; up.isValid() && !above; up = up.parent()) above = KeyOf(up) == picked;
        if (!above) run(("Link " + result->text().toStdString() + " Below").c_str(), &DesktopWindow::LinkResultBelow);
    }
    if (LinkOf(item).objectId != 0) {
        menu->addSeparator();
        add("Edit Link...", "LinkUpdate", Row::Link);
        add("Replace by Existing Part...", "ReplacePart", Row::Link);
        add("Replace by New Part...", "ReplacePartByNewPart", Row::Link);
        add("Delete Link", "DeleteLink", Row::Link);
    }
    return menu;
}

void DesktopWindow::Call(const std::string& hook, const QModelIndex& item, Row row) {
    auto step = hooks_.Step(hook, user_);
    std::string object = hooks_.RefOf(KeyOf(item));
    if (row != Row::None) {
        playback::RowArg arg;
        arg.kind = playback::RowArg::Kind::Ref;
        arg.path = step.path + "/rows/0";
        arg.ref = row == Row::Link ? item.data(LinkNameRole).toString().toStdString() +
                                         "(id=" + std::to_string(LinkOf(item).objectId) + ")"
                                   : object;
        arg.written = arg.ref;
        step.rows = std::vector<playback::RowArg>{arg};
    }
    // The object arguments: Obj is the selected object; FromObj and MyNewPart start empty, so the user
    // searches for the one and the hook fills in the other.
    for (const auto& name : playback::HookCatalog::Find(hook)->objects) {
        playback::ObjectArg arg;
        arg.path = step.path + "/" + name;
        if (name == "Obj") arg.ref = object;
        step.objectArgs[name] = arg;
    }
    RunStep(step, item);
}

std::optional<int16_t> DesktopWindow::RunStep(const playback::ScenarioStep& step, const QModelIndex& acted) {
    HookRunner::Call call;
    Busy(step.hook, [&] { call = hooks_.Run(step, user_); });
    log_->appendPlainText(QString::fromStdString(call.transcript).trimmed());
    if (call.made) ApplyEvents(call.events, acted);
    return call.result;
}

void DesktopWindow::ApplyEvents(const std::vector<embedded::Event>& events, const QModelIndex& acted) {
    tree_.Update(events, acted);
    ShowAttributes(tree_.View()->currentIndex());
}

} // namespace quendra::desktop
