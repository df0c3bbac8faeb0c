// PartsTree: a link page of PageSize at a time; a cycle is shown once and not entered.
// SPDX-License-Identifier: Apache-2.0
#include "PartsTree.h"

#include <QHeaderView>
#include <QPainter>
#include <QTreeWidget>

#include <algorithm>
#include <set>
#include <utility>

namespace quendra::desktop {

namespace {

// Links read at a time below one object.
constexpr size_t PageSize = 64;
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

using Keys = std::set<std::pair<int16_t, int32_t>>;

// What the platform was asked to redraw, notified of or wrote.
Keys Touched(const std::vector<embedded::Event>& events) {
    Keys touched;
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
    return touched;
}

bool Below(QTreeWidgetItem* item, const std::vector<QTreeWidgetItem*>& others) {
    for (auto* up = item->parent(); up; up = up->parent())
        if (std::find(others.begin(), others.end(), up) != others.end()) return true;
    return false;
}

} // namespace

PartsTree::PartsTree(embedded::Database& database, const std::map<int32_t, std::string>& logins)
    : database_(database), logins_(logins), tree_(new QTreeWidget) {
    tree_->setHeaderLabels({"Object", "State", "Locked by"});
    tree_->header()->setSectionResizeMode(ObjectColumn, QHeaderView::ResizeToContents);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
}

void PartsTree::Open(embedded::ObjectKey key) {
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

void PartsTree::Refresh() {
    for (int i = tree_->topLevelItemCount() - 1; i >= 0; --i) {
        auto* top = tree_->topLevelItem(i);
        if (!Fill(top))
            delete top;
        else if (top->data(0, LoadedRole).toBool())
            LoadChildren(top);
    }
}

std::vector<QTreeWidgetItem*> PartsTree::Items() const {
    std::vector<QTreeWidgetItem*> items;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) items.push_back(tree_->topLevelItem(i));
    for (size_t next = 0; next < items.size(); ++next)
        for (int i = 0; i < items[next]->childCount(); ++i) items.push_back(items[next]->child(i));
    return items;
}

QTreeWidgetItem* PartsTree::FindItem(const std::string& displayStart) const {
    for (auto* item : Items())
        if (!IsMore(item) && item->data(0, TextRole).toString().startsWith(QString::fromStdString(displayStart)))
            return item;
    return nullptr;
}

QTreeWidgetItem* PartsTree::ItemOf(embedded::ObjectKey key) const {
    for (auto* item : Items())
        if (!IsMore(item) && KeyOf(item) == key) return item;
    return nullptr;
}

std::string PartsTree::LoginOf(int32_t userId) const {
    auto found = logins_.find(userId);
    return found == logins_.end() ? std::string("an unknown user") : found->second;
}

int PartsTree::LinkColumn(const std::string& name) {
    auto found = linkColumns_.find(name);
    if (found != linkColumns_.end()) return found->second;
    int column = FirstLinkColumn + static_cast<int>(linkColumns_.size());
    linkColumns_[name] = column;
    tree_->setColumnCount(column + 1);
    tree_->headerItem()->setText(column, QString::fromStdString(name));
    return column;
}

bool PartsTree::Fill(QTreeWidgetItem* item) {
    embedded::TreeReader reader(database_, Separator);
    auto entry = reader.Object(KeyOf(item));
    if (!entry) return false;
    item->setData(0, TextRole, QString::fromStdString(entry->displayText));
    item->setText(ObjectColumn, QString::fromStdString(entry->className + " " + entry->displayText));
    std::string state;
    try {
        state = database_.ReadValue(entry->object, "STATE").AsText();
    } catch (const std::exception&) {
        // A class without a life cycle shows no state.
    }
    item->setText(StateColumn, QString::fromStdString(state));
    item->setText(LockColumn, entry->locked ? QString::fromStdString(LoginOf(entry->lockHolder)) : QString());
    item->setIcon(LockColumn, entry->locked ? LockIcon() : QIcon());
    return true;
}

void PartsTree::LoadChildren(QTreeWidgetItem* item) {
    // The children are read again: the items of those expanded before are expanded again.
    std::set<int32_t> expanded;
    for (int i = 0; i < item->childCount(); ++i)
        if (item->child(i)->isExpanded()) expanded.insert(LinkOf(item->child(i)).objectId);
    qDeleteAll(item->takeChildren());
    item->setData(0, LoadedRole, true);
    embedded::TreeReader reader(database_, Separator);
    AddEntries(item, reader.Below(KeyOf(item), 0, PageSize));
    if (item->childCount() == 0) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    for (int i = 0; i < item->childCount(); ++i)
        if (expanded.contains(LinkOf(item->child(i)).objectId)) tree_->expandItem(item->child(i));
}

void PartsTree::LoadMore(QTreeWidgetItem* more) {
    auto* parent = more->parent();
    int32_t after = more->data(0, MoreRole).toInt();
    delete more;
    embedded::TreeReader reader(database_, Separator);
    AddEntries(parent, reader.Below(KeyOf(parent), after, PageSize));
}

void PartsTree::AddEntries(QTreeWidgetItem* item, const embedded::TreeReader::Page& page) {
    Keys above;
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

void PartsTree::Update(const std::vector<embedded::Event>& events, QTreeWidgetItem* acted) {
    auto touched = Touched(events);
    if (acted) touched.insert({KeyOf(acted).classId, KeyOf(acted).objectId});
    auto isTouched = [&](embedded::ObjectKey key) { return touched.contains({key.classId, key.objectId}); };
    // Items whose object was touched are filled again; their children, and the children of the parent of
    // a touched link, are read again.
    std::vector<QTreeWidgetItem*> refill, reload;
    for (auto* item : Items()) {
        if (IsMore(item)) continue;
        if (isTouched(KeyOf(item))) {
            refill.push_back(item);
            if (item->data(0, LoadedRole).toBool()) reload.push_back(item);
        }
        if (item->parent() && isTouched(LinkOf(item))) reload.push_back(item->parent());
    }
    for (auto* item : refill)
        if (!Below(item, reload) && !Fill(item) && item->parent()) reload.push_back(item->parent());
    std::vector<QTreeWidgetItem*> outer;
    for (auto* item : reload)
        if (!Below(item, reload) && std::find(outer.begin(), outer.end(), item) == outer.end()) outer.push_back(item);
    for (auto* item : outer) LoadChildren(item);
    // An object the platform was asked to show is selected where the tree shows it.
    for (const auto& event : events)
        if (const auto* show = std::get_if<embedded::events::Show>(&event))
            if (auto* shown = ItemOf(show->object)) tree_->setCurrentItem(shown);
}

} // namespace quendra::desktop
