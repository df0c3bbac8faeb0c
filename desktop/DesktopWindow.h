// DesktopWindow: the embedded platform's desktop: a search, the parts tree, the selected object's
// attributes and a log, with the hooks called from the tree's context menu as the platform's scripts would.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "DesktopConfig.h"
#include "HookRunner.h"
#include "PartsTree.h"

#include "CvPlatform.h"
#include "Database.h"
#include "QtWindowSystem.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QProgressBar;
class QToolBar;
class QDialog;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QTableWidget;
class QTreeView;

namespace quendra::desktop {

class DesktopWindow : public QMainWindow {
    Q_OBJECT
public:
    // `path` names the database in the title and is where the users are read from.
    DesktopWindow(std::shared_ptr<embedded::Database> database, std::string path, std::string user,
                  DesktopConfig config);
    ~DesktopWindow() override;

    // The search: objects of that class (or any class below it) whose number or description contains the text.
    void Search(const std::string& className, const std::string& text);
    // Opens the tree of the search result in that row.
    void OpenResult(int row);
    // Shows the tree of that object at the top.
    void OpenTree(embedded::ObjectKey key);
    // Expands the item, reading its children on the first expansion.
    void Expand(const QModelIndex& item);
    // The first item of the tree that shows the object with that display text at its start, or an invalid index.
    QModelIndex FindItem(const std::string& displayStart) const;
    // The first item of the tree that shows that object, or an invalid index.
    QModelIndex ItemOf(embedded::ObjectKey key) const;
    // The context menu for an item: the operations that fit it. The window owns the menu until the next one.
    QMenu* MenuFor(const QModelIndex& item);
    void SwitchUser(const std::string& login);
    // Runs once every modal dialog has shown, the hooks' windows and the desktop's own (for tests and pictures).
    void SetModalHook(std::function<void(QDialog&)> hook);
    // Starts writing the hook calls made from now on as a scenario file that `quendra play` replays, from a
    // copy of the database as it is now (FILE with the extension .db); refuses files that exist.
    void StartRecording(const std::string& file);
    // Writes the recording.
    void StopRecording();
    bool IsRecording() const { return hooks_.IsRecording(); }
    // Reads the whole tree again as it is stored now (another process may have changed it), keeping
    // open what was open.
    void Refresh();

    const std::string& User() const { return user_; }
    // The windows the hooks show, for a test or a picture to watch.
    qt::QtWindowSystem& Windows() { return windows_; }
    QTreeView* Tree() const { return tree_.View(); }
    QListWidget* Results() const { return results_; }
    QTableWidget* Attributes() const { return attributes_; }
    QPlainTextEdit* Log() const { return log_; }
    // The operations that fit the current row, as the context menu offers them.
    QToolBar* Tools() const { return tools_; }
    // While an operation runs: what it is and how many platform writes it made so far.
    QLabel* BusyText() const { return busyText_; }
    bool IsBusy() const { return !busyWith_.empty(); }

    // The life-cycle states the platform's own operations move an object to.
    static constexpr int16_t CheckedOutState = 1, CheckedInState = 2, ReleasedState = 5;

    // Tree columns.
    using enum Column;

protected:
    // A recording under way is written when the window closes.
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildWindow();
    QWidget* BuildSearch();
    void BuildTree();
    void BuildMenus();
    // Runs what a person started; a failure ends it with a line in the log instead of leaving the event loop.
    // Nothing starts while an operation runs.
    void Guarded(const std::function<void()>& work);
    // The entries of the context menu and the toolbar for the item.
    std::unique_ptr<QMenu> BuildActions(const QModelIndex& item);
    void UpdateTools();
    // Marks the window busy with the operation while `work` runs: nothing else can start, and the platform's
    // writes are counted in the status bar as they happen.
    void Busy(const std::string& operation, const std::function<void()>& work);
    void Counted(const embedded::Event& event);
    void RunSearch();
    void ShowAttributes(const QModelIndex& item);
    // What a hook gets as its one row: nothing (the item's object is its Obj), the item's object or its link.
    enum class Row { None, Object, Link };
    // Calls the hook on the item and updates what it changed.
    void Call(const std::string& hook, const QModelIndex& item, Row row);
    // Runs the step, logs it and updates what it changed: the hook result, or nothing when the call failed.
    std::optional<int16_t> RunStep(const playback::ScenarioStep& step, const QModelIndex& acted);
    // A check of an operation on the item's object: true when the hook answered 0.
    bool Check(const QModelIndex& item, playback::ScenarioStep step);
    // Runs one of the platform's own operations on that object as the logged-in user, logs what it was
    // asked to do and updates the tree.
    void Store(const std::string& what, embedded::ObjectKey key,
               const std::function<void(CvSession& session, const Ptr<CvObject>& object)>& work);
    // The platform's operations, each after the check the platform's scripts call before it.
    void EditValues(QModelIndex item);
    void Release(QModelIndex item);
    // Check-out and approval: the document moves to `state` once the check lets the operation go on.
    void CheckOutOrApprove(const QModelIndex& item, const std::string& operation, int16_t state);
    void CheckIn(QModelIndex item);
    void DeleteDocument(QModelIndex item);
    // Links the search result chosen on the left below the item's object.
    void LinkResultBelow(QModelIndex item);
    bool IsDocument(const QModelIndex& item);
    // The values the user changed in the edit dialog, or nothing when the dialog was cancelled.
    std::optional<std::vector<std::pair<std::string, Value>>> AskValues(CvObject& object);
    int RunModal(QDialog& dialog);
    void ApplyEvents(const std::vector<embedded::Event>& events, const QModelIndex& acted);
    // A value as the attribute pane and the edit dialog show it.
    std::string ShownValue(const std::string& attribute, const Value& value) const;

    std::shared_ptr<embedded::Database> database_;
    std::string path_;
    std::string user_;
    std::map<int32_t, std::string> logins_;
    qt::QtWindowSystem windows_;
    HookRunner hooks_;
    PartsTree tree_;

    QComboBox* classes_ = nullptr;
    QLineEdit* text_ = nullptr;
    QListWidget* results_ = nullptr;
    QTableWidget* attributes_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    QActionGroup* users_ = nullptr;
    std::unique_ptr<QMenu> menu_;
    QToolBar* tools_ = nullptr;
    QMenu* toolActions_ = nullptr; // owns the toolbar's actions
    QLabel* busyText_ = nullptr;
    QProgressBar* busyBar_ = nullptr;
    std::string busyWith_;
    QAction* record_ = nullptr;
    size_t writes_ = 0;
    std::function<void(QDialog&)> modalHook_;
};

} // namespace quendra::desktop
