// PartsTree: the view over the parts model, and which rows to read again when.
// SPDX-License-Identifier: Apache-2.0
#include "PartsTree.h"

#include <QHeaderView>
#include <QTreeView>

#include <algorithm>
#include <set>
#include <utility>

namespace quendra::desktop {

namespace {

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

bool Below(const QModelIndex& item, const std::vector<QModelIndex>& others) {
    for (auto up = item.parent(); up.isValid(); up = up.parent())
        if (std::find(others.begin(), others.end(), up) != others.end()) return true;
    return false;
}

} // namespace

PartsTree::PartsTree(embedded::Database& database, const std::map<int32_t, std::string>& logins)
    : view_(new QTreeView), model_(new PartsModel(database, logins)) {
    model_->setParent(view_);
    view_->setModel(model_);
    view_->header()->setSectionResizeMode(ObjectColumn, QHeaderView::ResizeToContents);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
}

void PartsTree::Open(embedded::ObjectKey key) {
    auto top = model_->Open(key);
    if (!top.isValid()) return;
    view_->setCurrentIndex(top);
    view_->expand(top);
}

void PartsTree::Refresh() {
    for (int row = model_->rowCount() - 1; row >= 0; --row) {
        auto top = model_->index(row, 0);
        if (!model_->Fill(top))
            model_->RemoveRow(top);
        else if (top.data(LoadedRole).toBool())
            LoadChildren(top);
    }
}

std::vector<QModelIndex> PartsTree::Items() const {
    std::vector<QModelIndex> items;
    for (int row = 0; row < model_->rowCount(); ++row) items.push_back(model_->index(row, 0));
    for (size_t next = 0; next < items.size(); ++next)
        for (int row = 0; row < model_->rowCount(items[next]); ++row)
            items.push_back(model_->index(row, 0, items[next]));
    return items;
}

QModelIndex PartsTree::FindItem(const std::string& displayStart) const {
    for (const auto& item : Items())
        if (!IsMore(item) && item.data(TextRole).toString().startsWith(QString::fromStdString(displayStart)))
            return item;
    return {};
}

QModelIndex PartsTree::ItemOf(embedded::ObjectKey key) const {
    for (const auto& item : Items())
        if (!IsMore(item) && KeyOf(item) == key) return item;
    return {};
}

void PartsTree::LoadChildren(const QModelIndex& item) {
    // The children are read again: the rows of those expanded before are expanded again.
    std::set<int32_t> expanded;
    for (int row = 0; row < model_->rowCount(item); ++row)
        if (auto child = model_->index(row, 0, item); view_->isExpanded(child)) expanded.insert(LinkOf(child).objectId);
    model_->ClearChildren(item);
    model_->AddPage(item, 0);
    for (int row = 0; row < model_->rowCount(item); ++row)
        if (auto child = model_->index(row, 0, item); expanded.contains(LinkOf(child).objectId)) view_->expand(child);
}

void PartsTree::LoadMore(const QModelIndex& more) {
    auto parent = more.parent();
    int32_t after = more.data(MoreRole).toInt();
    model_->RemoveRow(more);
    model_->AddPage(parent, after);
}

void PartsTree::Update(const std::vector<embedded::Event>& events, const QModelIndex& acted) {
    auto touched = Touched(events);
    if (acted.isValid()) touched.insert({KeyOf(acted).classId, KeyOf(acted).objectId});
    auto isTouched = [&](embedded::ObjectKey key) { return touched.contains({key.classId, key.objectId}); };
    // Rows whose object was touched are filled again; their children, and the children of the parent of
    // a touched link, are read again.
    std::vector<QModelIndex> refill, reload;
    for (const auto& item : Items()) {
        if (IsMore(item)) continue;
        if (isTouched(KeyOf(item))) {
            refill.push_back(item);
            if (item.data(LoadedRole).toBool()) reload.push_back(item);
        }
        if (item.parent().isValid() && isTouched(LinkOf(item))) reload.push_back(item.parent());
    }
    for (const auto& item : refill)
        if (!Below(item, reload) && !model_->Fill(item) && item.parent().isValid()) reload.push_back(item.parent());
    std::vector<QModelIndex> outer;
    for (const auto& item : reload)
        if (!Below(item, reload) && std::find(outer.begin(), outer.end(), item) == outer.end()) outer.push_back(item);
    for (const auto& item : outer) LoadChildren(item);
    // An object the platform was asked to show is selected where the tree shows it.
    for (const auto& event : events)
        if (const auto* show = std::get_if<embedded::events::Show>(&event))
            if (auto shown = ItemOf(show->object); shown.isValid()) view_->setCurrentIndex(shown);
}

} // namespace quendra::desktop
