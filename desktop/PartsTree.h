// PartsTree: the desktop's parts tree: the links below an object read a page at a time as items expand,
// and the items that a hook's events name read again, so the view shows what is stored.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Database.h"
#include "TreeItems.h"
#include "TreeReader.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace quendra::desktop {

class PartsTree {
public:
    // `logins` names the lock holders; both outlive the tree.
    PartsTree(embedded::Database& database, const std::map<int32_t, std::string>& logins);

    // The view; its parent widget owns it.
    QTreeWidget* Widget() const { return tree_; }
    // Shows the tree of that object at the top.
    void Open(embedded::ObjectKey key);
    // Reads the item's children, again when they were read before (keeping open what was open).
    void LoadChildren(QTreeWidgetItem* item);
    // Reads the next page of links in place of the "more..." item.
    void LoadMore(QTreeWidgetItem* more);
    // Reads the whole tree again as it is stored now (another process may have changed it).
    void Refresh();
    // Reads again the items whose objects or links the events name, and those of `acted`; selects an
    // object the platform was asked to show.
    void Update(const std::vector<embedded::Event>& events, QTreeWidgetItem* acted);

    // The first item that shows the object with that display text at its start, or null.
    QTreeWidgetItem* FindItem(const std::string& displayStart) const;
    // The first item that shows that object, or null.
    QTreeWidgetItem* ItemOf(embedded::ObjectKey key) const;
    std::string LoginOf(int32_t userId) const;

private:
    // Every item of the tree, parents before their children ("more..." items too).
    std::vector<QTreeWidgetItem*> Items() const;
    // Fills the item's columns from what is stored now; false when the object is gone.
    bool Fill(QTreeWidgetItem* item);
    void AddEntries(QTreeWidgetItem* item, const embedded::TreeReader::Page& page);
    int LinkColumn(const std::string& name);

    embedded::Database& database_;
    const std::map<int32_t, std::string>& logins_;
    QTreeWidget* tree_;
    std::map<std::string, int> linkColumns_;
};

} // namespace quendra::desktop
