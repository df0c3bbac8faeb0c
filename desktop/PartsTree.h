// PartsTree: the desktop's parts tree: the links below an object read a page at a time as rows expand,
// and the rows that a hook's events name read again, so the view shows what is stored.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Database.h"
#include "PartsModel.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class QTreeView;

namespace quendra::desktop {

class PartsTree {
public:
    // `logins` names the lock holders; both outlive the tree.
    PartsTree(embedded::Database& database, const std::map<int32_t, std::string>& logins);

    // The view; its parent widget owns it, and it owns the model.
    QTreeView* View() const { return view_; }
    const PartsModel& Model() const { return *model_; }
    // Shows the tree of that object at the top.
    void Open(embedded::ObjectKey key);
    // Reads the row's children, again when they were read before (keeping open what was open).
    void LoadChildren(const QModelIndex& item);
    // Reads the next page of links in place of the "more..." row.
    void LoadMore(const QModelIndex& more);
    // Reads the whole tree again as it is stored now (another process may have changed it).
    void Refresh();
    // Reads again the rows whose objects or links the events name, and those of `acted`; selects an
    // object the platform was asked to show.
    void Update(const std::vector<embedded::Event>& events, const QModelIndex& acted);

    // The first row that shows the object with that display text at its start, or an invalid index.
    QModelIndex FindItem(const std::string& displayStart) const;
    // The first row that shows that object, or an invalid index.
    QModelIndex ItemOf(embedded::ObjectKey key) const;

private:
    // Every row of the tree, parents before their children ("more..." rows too).
    std::vector<QModelIndex> Items() const;

    QTreeView* view_;
    PartsModel* model_;
};

} // namespace quendra::desktop
