// TreeItems: the columns of the desktop's parts tree, and what an item holds beside its texts: the object,
// the link from its parent, and whether its children were read.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Database.h"

#include <QTreeWidgetItem>

namespace quendra::desktop {

enum Column { ObjectColumn, StateColumn, LockColumn, FirstLinkColumn };

enum Role {
    ClassRole = Qt::UserRole,
    ObjectRole,
    LinkClassRole,
    LinkRole,
    LoadedRole, // the children have been read
    LinkNameRole,
    MoreRole, // an item standing for the links after this link id
    TextRole, // the object's display text
};

inline embedded::ObjectKey KeyOf(const QTreeWidgetItem* item) {
    return {static_cast<int16_t>(item->data(0, ClassRole).toInt()), item->data(0, ObjectRole).toInt()};
}
inline embedded::ObjectKey LinkOf(const QTreeWidgetItem* item) {
    return {static_cast<int16_t>(item->data(0, LinkClassRole).toInt()), item->data(0, LinkRole).toInt()};
}
inline bool IsMore(const QTreeWidgetItem* item) {
    return item->data(0, MoreRole).isValid();
}

} // namespace quendra::desktop
