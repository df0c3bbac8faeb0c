// TreeItems: the columns of the desktop's parts tree, and what a row holds beside its texts: the object,
// the link from its parent, and whether its children were read.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Database.h"

#include <QModelIndex>

namespace quendra::desktop {

enum Column { ObjectColumn, StateColumn, LockColumn, FirstLinkColumn };

enum Role {
    ClassRole = Qt::UserRole,
    ObjectRole,
    LinkClassRole,
    LinkRole,
    LoadedRole, // the children have been read
    LinkNameRole,
    MoreRole, // a row standing for the links after this link id
    TextRole, // the object's display text
};

inline embedded::ObjectKey KeyOf(const QModelIndex& item) {
    return {static_cast<int16_t>(item.data(ClassRole).toInt()), item.data(ObjectRole).toInt()};
}
inline embedded::ObjectKey LinkOf(const QModelIndex& item) {
    return {static_cast<int16_t>(item.data(LinkClassRole).toInt()), item.data(LinkRole).toInt()};
}
inline bool IsMore(const QModelIndex& item) {
    return item.data(MoreRole).isValid();
}

} // namespace quendra::desktop
