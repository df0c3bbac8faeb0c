// PartsModel: the rows of the desktop's parts tree as a Qt item model, read from the platform: an object's
// row with its class, state and lock holder, the links below it a page at a time when asked, and the
// link's values in a column of their own for each attribute seen.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Database.h"
#include "TreeItems.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quendra::desktop {

class PartsModel : public QAbstractItemModel {
public:
    // `logins` names the lock holders; both outlive the model.
    PartsModel(embedded::Database& database, const std::map<int32_t, std::string>& logins);
    ~PartsModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Shows only that object's row at the top; invalid when the object is gone.
    QModelIndex Open(embedded::ObjectKey key);
    // Reads the row's columns again; false when its object is gone.
    bool Fill(const QModelIndex& item);
    // Forgets the row's children; they count as not read until AddPage.
    void ClearChildren(const QModelIndex& item);
    // Reads the page of links below the row's object after that link id, with a "more..." row when
    // there are more; a link to an object above is shown once and not entered.
    void AddPage(const QModelIndex& item, int32_t afterLink);
    void RemoveRow(const QModelIndex& item);

private:
    struct Node;
    Node* NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(const Node* node) const;
    // Fills the node's texts from what is stored now; false when the object is gone.
    bool Read(Node& node) const;
    int LinkColumn(const std::string& name);
    std::string LoginOf(int32_t userId) const;

    embedded::Database& database_;
    const std::map<int32_t, std::string>& logins_;
    std::unique_ptr<Node> root_;
    std::vector<QString> linkColumns_;
    QIcon lockIcon_;
};

} // namespace quendra::desktop
