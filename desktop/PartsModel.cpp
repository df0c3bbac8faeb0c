// PartsModel: a link page of PageSize at a time; a cycle is shown once and not entered.
// SPDX-License-Identifier: Apache-2.0
#include "PartsModel.h"

#include "TreeReader.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <set>
#include <utility>

namespace quendra::desktop {

namespace {

// Links read at a time below one object.
constexpr size_t PageSize = 64;
const char* const Separator = " - ";
const char* const Headers[] = {"Object", "State", "Locked by"};

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

struct PartsModel::Node {
    embedded::ObjectKey key{};
    embedded::ObjectKey link{};
    QString linkName;
    QString text; // the object's display text
    std::map<int, QString> columns;
    bool locked = false;
    bool loaded = false; // the children have been read
    std::optional<int32_t> moreAfter;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;
};

PartsModel::PartsModel(embedded::Database& database, const std::map<int32_t, std::string>& logins)
    : database_(database), logins_(logins), root_(std::make_unique<Node>()), lockIcon_(LockIcon()) {}

PartsModel::~PartsModel() = default;

PartsModel::Node* PartsModel::NodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : root_.get();
}

QModelIndex PartsModel::IndexOf(const Node* node) const {
    if (node == root_.get()) return {};
    const auto& siblings = node->parent->children;
    auto found = std::find_if(siblings.begin(), siblings.end(), [&](const auto& one) { return one.get() == node; });
    return createIndex(static_cast<int>(found - siblings.begin()), 0, node);
}

QModelIndex PartsModel::index(int row, int column, const QModelIndex& parent) const {
    const auto& children = NodeOf(parent)->children;
    if (row < 0 || column < 0 || row >= static_cast<int>(children.size()) || column >= columnCount()) return {};
    return createIndex(row, column, children[static_cast<size_t>(row)].get());
}

QModelIndex PartsModel::parent(const QModelIndex& child) const {
    return child.isValid() ? IndexOf(NodeOf(child)->parent) : QModelIndex();
}

int PartsModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    return static_cast<int>(NodeOf(parent)->children.size());
}

int PartsModel::columnCount(const QModelIndex&) const {
    return FirstLinkColumn + static_cast<int>(linkColumns_.size());
}

bool PartsModel::hasChildren(const QModelIndex& parent) const {
    // A row whose children were not read yet offers to open.
    const auto* node = NodeOf(parent);
    return parent.column() <= 0 && (!node->loaded || !node->children.empty());
}

QVariant PartsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const auto* node = NodeOf(index);
    auto valid = [](bool set, auto value) { return set ? QVariant(value) : QVariant(); };
    switch (role) {
    case Qt::DisplayRole: {
        auto found = node->columns.find(index.column());
        return found == node->columns.end() ? QVariant() : QVariant(found->second);
    }
    case Qt::DecorationRole:
        return valid(index.column() == LockColumn && node->locked, lockIcon_);
    case ClassRole:
        return valid(!node->moreAfter, node->key.classId);
    case ObjectRole:
        return valid(!node->moreAfter, node->key.objectId);
    case LinkClassRole:
        return valid(node->link.objectId != 0, node->link.classId);
    case LinkRole:
        return valid(node->link.objectId != 0, node->link.objectId);
    case LoadedRole:
        return node->loaded;
    case LinkNameRole:
        return valid(node->link.objectId != 0, node->linkName);
    case MoreRole:
        return valid(node->moreAfter.has_value(), node->moreAfter.value_or(0));
    case TextRole:
        return valid(!node->moreAfter, node->text);
    default:
        return {};
    }
}

QVariant PartsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) return {};
    return section < FirstLinkColumn ? QString(Headers[section]) : linkColumns_[size_t(section - FirstLinkColumn)];
}

std::string PartsModel::LoginOf(int32_t userId) const {
    auto found = logins_.find(userId);
    return found == logins_.end() ? std::string("an unknown user") : found->second;
}

int PartsModel::LinkColumn(const std::string& name) {
    auto text = QString::fromStdString(name);
    auto found = std::find(linkColumns_.begin(), linkColumns_.end(), text);
    int column = FirstLinkColumn + static_cast<int>(found - linkColumns_.begin());
    if (found != linkColumns_.end()) return column;
    beginInsertColumns({}, column, column);
    linkColumns_.push_back(text);
    endInsertColumns();
    return column;
}

bool PartsModel::Read(Node& node) const {
    embedded::TreeReader reader(database_, Separator);
    auto entry = reader.Object(node.key);
    if (!entry) return false;
    node.text = QString::fromStdString(entry->displayText);
    node.columns[ObjectColumn] = QString::fromStdString(entry->className + " " + entry->displayText);
    std::string state;
    try {
        state = database_.ReadValue(entry->object, "STATE").AsText();
    } catch (const std::exception&) {
        // A class without a life cycle shows no state.
    }
    node.columns[StateColumn] = QString::fromStdString(state);
    node.columns[LockColumn] = entry->locked ? QString::fromStdString(LoginOf(entry->lockHolder)) : QString();
    node.locked = entry->locked;
    return true;
}

QModelIndex PartsModel::Open(embedded::ObjectKey key) {
    beginResetModel();
    root_->children.clear();
    auto top = std::make_unique<Node>();
    top->key = key;
    top->parent = root_.get();
    if (Read(*top)) root_->children.push_back(std::move(top));
    endResetModel();
    return index(0, 0);
}

bool PartsModel::Fill(const QModelIndex& item) {
    if (!Read(*NodeOf(item))) return false;
    emit dataChanged(item.siblingAtColumn(0), item.siblingAtColumn(columnCount() - 1));
    return true;
}

void PartsModel::ClearChildren(const QModelIndex& item) {
    auto* node = NodeOf(item);
    if (node->children.empty()) return;
    beginRemoveRows(item, 0, rowCount(item) - 1);
    node->children.clear();
    endRemoveRows();
}

void PartsModel::RemoveRow(const QModelIndex& item) {
    auto* up = NodeOf(item)->parent;
    beginRemoveRows(item.parent(), item.row(), item.row());
    up->children.erase(up->children.begin() + item.row());
    endRemoveRows();
}

void PartsModel::AddPage(const QModelIndex& item, int32_t afterLink) {
    auto* node = NodeOf(item);
    embedded::TreeReader reader(database_, Separator);
    auto page = reader.Below(node->key, afterLink, PageSize);
    std::set<std::pair<int16_t, int32_t>> above;
    for (auto* up = node; up != root_.get(); up = up->parent) above.insert({up->key.classId, up->key.objectId});
    std::vector<std::unique_ptr<Node>> added;
    for (const auto& entry : page.entries) {
        auto& child = *added.emplace_back(std::make_unique<Node>());
        child.key = entry.object;
        child.link = entry.link;
        child.linkName = QString::fromStdString(entry.linkClassName);
        Read(child);
        for (const auto& [name, value] : entry.linkValues)
            child.columns[LinkColumn(std::string(name))] = QString::fromStdString(value.AsText());
        if (above.contains({entry.object.classId, entry.object.objectId})) {
            child.columns[ObjectColumn] += " (already above: the tree has a cycle here)";
            child.loaded = true;
        }
    }
    if (page.more) {
        auto& more = *added.emplace_back(std::make_unique<Node>());
        more.columns[ObjectColumn] = "more...";
        more.moreAfter = page.lastLink;
        more.loaded = true;
    }
    node->loaded = true;
    if (added.empty()) {
        // The row no longer offers to open.
        emit dataChanged(item, item);
        return;
    }
    int first = rowCount(item);
    beginInsertRows(item, first, first + static_cast<int>(added.size()) - 1);
    for (auto& child : added) {
        child->parent = node;
        node->children.push_back(std::move(child));
    }
    endInsertRows();
}

} // namespace quendra::desktop
