// DesktopWindow: the tree reads a page of links at a time as items expand; after each hook call the items
// showing what the platform's events name are read again, so the view shows what is stored.
#include "DesktopWindow.h"

#include "DatabaseFile.h"
#include "EmbeddedCommonGUI.h"
#include "HookCatalog.h"
#include "JsonCursor.h"
#include "OuterTransaction.h"
#include "PersonAnswer.h"
#include "PlatformDatabase.h"
#include "Recording.h"
#include "Transcript.h"
#include "TreeItems.h"
#include "TreeReader.h"

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
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace quendra::desktop {

namespace {

// Platform writes between two updates of the busy indicator.
constexpr size_t WritesPerUpdate = 100;
// Links read at a time below one object.
constexpr size_t PageSize = 64;
// The attributes the search looks for its text in.
const char* const SearchAttributes[] = {"CN_PART_NUMBER", "CN_DESCRIPTION"};
const char* const Separator = " - ";

// A closed padlock, drawn so the picture is the same on every platform.
QIcon LockIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(90, 90, 90), 2));
    painter.drawArc(QRectF(4, 1, 8, 9), 0, 180 * 16);
    painter.drawLine(QPointF(4, 5.5), QPointF(4, 8));
    painter.drawLine(QPointF(12, 5.5), QPointF(12, 8));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 150, 30));
    painter.drawRoundedRect(QRectF(2, 7, 12, 8), 1.5, 1.5);
    return QIcon(pixmap);
}

} // namespace

DesktopWindow::DesktopWindow(std::shared_ptr<embedded::Database> database, std::string path, std::string user,
                             DesktopConfig config)
    : database_(std::move(database)), path_(std::move(path)), user_(std::move(user)), config_(std::move(config)),
      world_(*database_, windows_, path_), runner_(world_, windows_, windows_, nullptr) {
    for (const auto& [id, login] : host::DatabaseFile::Users(path_)) logins_[id] = login;
    world_.SetDefaultUser(user_);
    BuildWindow();
    SwitchUser(user_);
}

DesktopWindow::~DesktopWindow() {
    database_->Harness().SetEventListener(nullptr);
    tree_->disconnect(this);
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

    tree_ = new QTreeWidget;
    tree_->setHeaderLabels({"Object", "State", "Locked by"});
    tree_->header()->setSectionResizeMode(ObjectColumn, QHeaderView::ResizeToContents);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (IsMore(item)) return;
        if (!item->data(0, LoadedRole).toBool()) Guarded([&] { LoadChildren(item); });
    });
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (IsMore(item)) Guarded([&] { LoadMore(item); });
    });
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        ShowAttributes(item);
        UpdateTools();
    });
    connect(results_, &QListWidget::currentItemChanged, this, [this] { UpdateTools(); });
    connect(tree_, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        auto* item = tree_->itemAt(at);
        if (!item || IsMore(item)) return;
        MenuFor(item)->popup(tree_->viewport()->mapToGlobal(at));
    });

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
    top->addWidget(tree_);
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
    world_.SetDefaultUser(login);
    for (auto* action : users_->actions()) action->setChecked(action->text().toStdString() == login);
    setWindowTitle(QString::fromStdString(path_ + " - " + login + " - Quendra desktop"));
    log_->appendPlainText(QString::fromStdString("logged in as " + login));
    ShowAttributes(tree_->currentItem());
}

void DesktopWindow::StartRecording(const std::string& file) {
    if (IsRecording()) StopRecording();
    auto snapshot = std::filesystem::path(file).replace_extension(".db").string();
    std::error_code error;
    for (const auto& path : {file, snapshot})
        if (std::filesystem::exists(std::filesystem::symlink_status(path, error)))
            throw std::invalid_argument(path + " exists already; choose another name");
    host::DatabaseFile::Copy(path_, snapshot);
    recordFile_ = file;
    recordedSteps_ = Json::array();
    recordedFiles_ = Json::object();
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
    auto file = std::exchange(recordFile_, std::string());
    record_->setChecked(false);
    auto snapshot = std::filesystem::path(file).replace_extension(".db").filename().string();
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    host::WriteRecording(
        out, host::RecordedScenario("a desktop session on " + path_, snapshot, recordedFiles_, recordedSteps_), file);
    log_->appendPlainText(
        QString::fromStdString("recorded " + std::to_string(recordedSteps_.size()) + " hook calls in " + file));
}

void DesktopWindow::Refresh() {
    for (int i = tree_->topLevelItemCount() - 1; i >= 0; --i) {
        auto* top = tree_->topLevelItem(i);
        if (!Fill(top))
            delete top;
        else if (top->data(0, LoadedRole).toBool())
            LoadChildren(top);
    }
    ShowAttributes(tree_->currentItem());
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
    tree_->clear();
    auto* top = new QTreeWidgetItem;
    top->setData(0, ClassRole, key.classId);
    top->setData(0, ObjectRole, key.objectId);
    top->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    tree_->addTopLevelItem(top);
    if (!Fill(top)) {
        delete top;
        return;
    }
    tree_->setCurrentItem(top);
    tree_->expandItem(top);
}

void DesktopWindow::Expand(QTreeWidgetItem* item) {
    tree_->expandItem(item);
}

QTreeWidgetItem* DesktopWindow::FindItem(const std::string& displayStart) const {
    std::vector<QTreeWidgetItem*> pending;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) pending.push_back(tree_->topLevelItem(i));
    for (size_t next = 0; next < pending.size(); ++next) {
        auto* item = pending[next];
        if (!IsMore(item) && item->data(0, TextRole).toString().startsWith(QString::fromStdString(displayStart)))
            return item;
        for (int i = 0; i < item->childCount(); ++i) pending.push_back(item->child(i));
    }
    return nullptr;
}

QTreeWidgetItem* DesktopWindow::ItemOf(embedded::ObjectKey key) const {
    std::vector<QTreeWidgetItem*> pending;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) pending.push_back(tree_->topLevelItem(i));
    for (size_t next = 0; next < pending.size(); ++next) {
        auto* item = pending[next];
        if (!IsMore(item) && KeyOf(item) == key) return item;
        for (int i = 0; i < item->childCount(); ++i) pending.push_back(item->child(i));
    }
    return nullptr;
}

std::string DesktopWindow::ShownValue(const std::string& attribute, const Value& value) const {
    // The attributes that hold a user's object id show the user's login.
    if ((attribute == "USER_OBJECT_ID" || attribute == "USER_ID_MOD") && value.GetKind() != Value::Kind::Null)
        if (auto found = logins_.find(value.AsInt32()); found != logins_.end()) return found->second;
    return value.AsText();
}

std::string DesktopWindow::LoginOf(int32_t userId) const {
    auto found = logins_.find(userId);
    return found == logins_.end() ? std::string("an unknown user") : found->second;
}

int DesktopWindow::LinkColumn(const std::string& name) {
    auto found = linkColumns_.find(name);
    if (found != linkColumns_.end()) return found->second;
    int column = FirstLinkColumn + static_cast<int>(linkColumns_.size());
    linkColumns_[name] = column;
    tree_->setColumnCount(column + 1);
    tree_->headerItem()->setText(column, QString::fromStdString(name));
    return column;
}

bool DesktopWindow::Fill(QTreeWidgetItem* item) {
    embedded::TreeReader reader(*database_, Separator);
    auto entry = reader.Object(KeyOf(item));
    if (!entry) return false;
    item->setData(0, TextRole, QString::fromStdString(entry->displayText));
    item->setText(ObjectColumn, QString::fromStdString(entry->className + " " + entry->displayText));
    std::string state;
    try {
        state = database_->ReadValue(entry->object, "STATE").AsText();
    } catch (const std::exception&) {
        // A class without a life cycle shows no state.
    }
    item->setText(StateColumn, QString::fromStdString(state));
    item->setText(LockColumn, entry->locked ? QString::fromStdString(LoginOf(entry->lockHolder)) : QString());
    item->setIcon(LockColumn, entry->locked ? LockIcon() : QIcon());
    return true;
}

void DesktopWindow::LoadChildren(QTreeWidgetItem* item) {
    // The children are read again: the items of those expanded before are expanded again.
    std::set<int32_t> expanded;
    for (int i = 0; i < item->childCount(); ++i)
        if (item->child(i)->isExpanded()) expanded.insert(LinkOf(item->child(i)).objectId);
    qDeleteAll(item->takeChildren());
    item->setData(0, LoadedRole, true);
    embedded::TreeReader reader(*database_, Separator);
    AddEntries(item, reader.Below(KeyOf(item), 0, PageSize));
    if (item->childCount() == 0) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    for (int i = 0; i < item->childCount(); ++i)
        if (expanded.contains(LinkOf(item->child(i)).objectId)) tree_->expandItem(item->child(i));
}

void DesktopWindow::LoadMore(QTreeWidgetItem* more) {
    auto* parent = more->parent();
    int32_t after = more->data(0, MoreRole).toInt();
    delete more;
    embedded::TreeReader reader(*database_, Separator);
    AddEntries(parent, reader.Below(KeyOf(parent), after, PageSize));
}

void DesktopWindow::AddEntries(QTreeWidgetItem* item, const embedded::TreeReader::Page& page) {
    std::set<std::pair<int16_t, int32_t>> above;
    for (auto* up = item; up; up = up->parent()) above.insert({KeyOf(up).classId, KeyOf(up).objectId});
    for (const auto& entry : page.entries) {
        auto* child = new QTreeWidgetItem;
        child->setData(0, ClassRole, entry.object.classId);
        child->setData(0, ObjectRole, entry.object.objectId);
        child->setData(0, LinkClassRole, entry.link.classId);
        child->setData(0, LinkRole, entry.link.objectId);
        child->setData(0, LinkNameRole, QString::fromStdString(entry.linkClassName));
        item->addChild(child);
        Fill(child);
        for (const auto& [name, value] : entry.linkValues)
            child->setText(LinkColumn(std::string(name)), QString::fromStdString(value.AsText()));
        if (above.contains({entry.object.classId, entry.object.objectId})) {
            child->setText(ObjectColumn, child->text(ObjectColumn) + " (already above: the tree has a cycle here)");
            child->setData(0, LoadedRole, true);
        } else {
            child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        }
    }
    if (page.more) {
        auto* more = new QTreeWidgetItem({"more..."});
        more->setData(0, MoreRole, page.lastLink);
        item->addChild(more);
    }
}

void DesktopWindow::ShowAttributes(QTreeWidgetItem* item) {
    attributes_->setRowCount(0);
    if (!item || IsMore(item)) return;
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

QMenu* DesktopWindow::MenuFor(QTreeWidgetItem* item) {
    tree_->setCurrentItem(item);
    menu_ = BuildActions(item);
    return menu_.get();
}

void DesktopWindow::UpdateTools() {
    // The old actions may be the one running now: they go once it has returned.
    tools_->clear();
    if (toolActions_) toolActions_->deleteLater();
    toolActions_ = nullptr;
    auto* item = tree_->currentItem();
    if (!item || IsMore(item)) return;
    toolActions_ = BuildActions(item).release();
    toolActions_->setParent(this, Qt::Popup);
    for (auto* action : toolActions_->actions())
        if (!action->isSeparator() || !tools_->actions().isEmpty()) tools_->addAction(action);
}

std::unique_ptr<QMenu> DesktopWindow::BuildActions(QTreeWidgetItem* item) {
    auto menu = std::make_unique<QMenu>();
    auto add = [&](const char* caption, const char* hook, Row row) {
        connect(menu->addAction(caption), &QAction::triggered, this,
                [this, item, hook, row] { Guarded([&] { Call(hook, item, row); }); });
    };
    auto run = [&](const char* caption, void (DesktopWindow::*operation)(QTreeWidgetItem*)) {
        connect(menu->addAction(caption), &QAction::triggered, this,
                [this, item, operation] { Guarded([&] { (this->*operation)(item); }); });
    };
    add("Lock", "LockObject", Row::Object);
    add("Unlock", "UnLockObject", Row::Object);
    menu->addSeparator();
    run("Edit Values...", &DesktopWindow::EditValues);
    run("Release", &DesktopWindow::Release);
    bool document = false;
    Guarded([&] { document = IsDocument(item); });
    if (document) {
        connect(menu->addAction("Check Out"), &QAction::triggered, this,
                [this, item] { Guarded([&] { CheckOutOrApprove(item, "CheckOut", CheckedOutState); }); });
        run("Check In", &DesktopWindow::CheckIn);
        connect(menu->addAction("Approve"), &QAction::triggered, this,
                [this, item] { Guarded([&] { CheckOutOrApprove(item, "Approve", ReleasedState); }); });
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
        for (auto* up = item; up && !above; up = up->parent()) above = KeyOf(up) == picked;
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

host::ScenarioStep DesktopWindow::MakeStep(const std::string& hook) const {
    host::ScenarioStep step;
    step.hook = hook;
    step.user = user_;
    step.path = "/desktop";
    step.texts = config_.Texts(hook);
    return step;
}

std::string DesktopWindow::RefOf(embedded::ObjectKey key) const {
    return database_->ClassName(key.classId) + "(OBJECT_ID=" + std::to_string(key.objectId) + ")";
}

void DesktopWindow::Call(const std::string& hook, QTreeWidgetItem* item, Row row) {
    auto step = MakeStep(hook);
    std::string object = RefOf(KeyOf(item));
    if (row != Row::None) {
        host::RowArg arg;
        arg.kind = host::RowArg::Kind::Ref;
        arg.path = step.path + "/rows/0";
        arg.ref = row == Row::Link ? item->data(0, LinkNameRole).toString().toStdString() +
                                         "(id=" + std::to_string(LinkOf(item).objectId) + ")"
                                   : object;
        arg.written = arg.ref;
        step.rows = std::vector<host::RowArg>{arg};
    }
    // The object arguments: Obj is the selected object; FromObj and MyNewPart start empty, so the user
    // searches for the one and the hook fills in the other.
    for (const auto& name : host::HookCatalog::Find(hook)->objects) {
        host::ObjectArg arg;
        arg.path = step.path + "/" + name;
        if (name == "Obj") arg.ref = object;
        step.objectArgs[name] = arg;
    }
    RunStep(step, item);
}

std::optional<int16_t> DesktopWindow::RunStep(const host::ScenarioStep& step, QTreeWidgetItem* acted) {
    std::ostringstream out;
    host::Transcript transcript(out, out, false);
    transcript.Step(++calls_, step, user_);
    host::StepOutcome outcome;
    windows_.ForgetAnswered();
    try {
        Busy(step.hook, [&] {
            host::OuterTransaction unit(*database_, host::PersonsCallIsOneUnit(path_));
            outcome = runner_.Run(step, user_);
            if (!database_->Harness().MachineFailureText()) unit.Commit();
        });
    } catch (const std::exception& error) {
        out << "   " << error.what() << '\n';
        log_->appendPlainText(QString::fromStdString(out.str()).trimmed());
        return std::nullopt;
    }
    // A result dialog shares its query dialog's answer, as in scenarios. A recording names the files picked
    // beside it and keeps their content.
    std::string searchAnswer;
    Json answers = Json::array(), files = Json::object();
    auto folder = std::filesystem::path(recordFile_).parent_path();
    for (const auto& shown : windows_.Answered()) {
        auto window = shown.window;
        if (shown.answer) {
            auto answer = host::PersonAnswer(*shown.answer, *database_, folder, files);
            window.answer = JsonText(answer);
            answers.push_back(answer);
        } else {
            window.answer = searchAnswer;
        }
        if (shown.answer && std::holds_alternative<scripted::answers::Search>(shown.answer->what))
            searchAnswer = window.answer;
        outcome.windows.push_back(window);
    }
    transcript.Outcome(calls_, outcome, world_);
    log_->appendPlainText(QString::fromStdString(out.str()).trimmed());
    if (IsRecording()) {
        recordedSteps_.push_back(host::RecordedStep(step, user_, outcome, answers));
        recordedFiles_.update(files);
    }
    ApplyEvents(outcome.events, acted);
    return outcome.error ? std::nullopt : outcome.result;
}

void DesktopWindow::ApplyEvents(const std::vector<embedded::Event>& events, QTreeWidgetItem* acted) {
    // What the platform was asked to redraw, notified of or wrote, and the object acted on.
    std::set<std::pair<int16_t, int32_t>> touched;
    if (acted) touched.insert({KeyOf(acted).classId, KeyOf(acted).objectId});
    auto touch = [&](embedded::ObjectKey key) { touched.insert({key.classId, key.objectId}); };
    for (const auto& event : events) {
        if (const auto* notify = std::get_if<embedded::events::Notify>(&event))
            for (const auto& key : notify->objects) touch(key);
        else if (const auto* refresh = std::get_if<embedded::events::Refresh>(&event))
            for (const auto& key : refresh->objects) touch(key);
        else if (const auto* insert = std::get_if<embedded::events::Insert>(&event))
            touch(insert->object);
        else if (const auto* update = std::get_if<embedded::events::Update>(&event))
            touch(update->object);
        else if (const auto* removed = std::get_if<embedded::events::Delete>(&event))
            touch(removed->object);
    }
    auto isTouched = [&](embedded::ObjectKey key) { return touched.contains({key.classId, key.objectId}); };
    // Items whose object was touched are filled again; their children, and the children of the parent of
    // a touched link, are read again.
    std::vector<QTreeWidgetItem*> refill, reload;
    std::vector<QTreeWidgetItem*> pending;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) pending.push_back(tree_->topLevelItem(i));
    for (size_t next = 0; next < pending.size(); ++next) {
        auto* item = pending[next];
        if (IsMore(item)) continue;
        if (isTouched(KeyOf(item))) {
            refill.push_back(item);
            if (item->data(0, LoadedRole).toBool()) reload.push_back(item);
        }
        if (item->parent() && isTouched(LinkOf(item))) reload.push_back(item->parent());
        for (int i = 0; i < item->childCount(); ++i) pending.push_back(item->child(i));
    }
    auto below = [](QTreeWidgetItem* item, const std::vector<QTreeWidgetItem*>& others) {
        for (auto* up = item->parent(); up; up = up->parent())
            if (std::find(others.begin(), others.end(), up) != others.end()) return true;
        return false;
    };
    for (auto* item : refill)
        if (!below(item, reload) && !Fill(item) && item->parent()) reload.push_back(item->parent());
    std::vector<QTreeWidgetItem*> outer;
    for (auto* item : reload)
        if (!below(item, reload) && std::find(outer.begin(), outer.end(), item) == outer.end()) outer.push_back(item);
    for (auto* item : outer) LoadChildren(item);
    // An object the platform was asked to show is selected where the tree shows it.
    for (const auto& event : events)
        if (const auto* show = std::get_if<embedded::events::Show>(&event))
            if (auto* shown = ItemOf(show->object)) tree_->setCurrentItem(shown);
    ShowAttributes(tree_->currentItem());
}

} // namespace quendra::desktop
