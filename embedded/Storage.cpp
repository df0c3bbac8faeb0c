// Reads and writes of objects, links, users and sequences in the database's tables.
// SPDX-License-Identifier: Apache-2.0
#include "Storage.h"

#include "CvError.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quendra::embedded {

Storage::Storage(std::unique_ptr<Connection> connection, std::shared_ptr<const Model> model)
    : PlatformHarness(connection->Name()), connection_(std::move(connection)), model_(std::move(model)),
      schema_(*model_, *connection_) {}

void Storage::CreateSchema() {
    schema_.Create(*connection_);
    for (const auto& user : model_->users) AddUser(user.login, user.admin, user.values);
}

const ClassInfo& Storage::Class(int16_t classId) const {
    const ClassInfo* cls = model_->ClassById(classId);
    if (!cls) throw CvError("there is no class with the id " + std::to_string(classId));
    return *cls;
}

const ClassInfo& Storage::Class(const std::string& name) const {
    const ClassInfo* cls = model_->ClassByName(name);
    if (!cls) throw CvError("there is no class named \"" + name + "\"");
    return *cls;
}

std::optional<RecordData> Storage::Load(int16_t classId, int32_t objectId) {
    std::optional<RecordData> data(std::in_place);
    if (!LoadInto(classId, objectId, *data)) return std::nullopt;
    return data;
}

bool Storage::LoadInto(int16_t classId, int32_t objectId, RecordData& data) {
    const ClassInfo& asked = Class(classId);
    const TableLayout& layout = *LayoutOf(asked).table;
    const RecordData* row = CallRow(objectId);
    if (!row && ReadExpected(objectId)) row = CallRow(objectId);
    if (row) {
        // Object ids are unique across tables: a row of another table is none of this one.
        if (LayoutOf(*row->cls).table != &layout || !model_->Includes(asked.id, row->cls->id)) return false;
        data = *row;
        return true;
    }
    if (!layout.select) layout.select = &connection_->Pin(layout.selectSql);
    Statement statement = connection_->Prepare(*layout.select);
    statement.BindInt(1, objectId);
    if (!statement.Step()) return false;
    int16_t storedClassId = static_cast<int16_t>(statement.Int(layout.classIdColumn));
    if (!model_->Includes(asked.id, storedClassId)) return false;
    ReadRecordInto(statement, Class(storedClassId), data);
    return true;
}

RecordData Storage::ReadRecord(const Statement& statement, const ClassInfo& cls, int offset) const {
    RecordData data;
    ReadRecordInto(statement, cls, data, offset);
    return data;
}

void Storage::ReadRecordInto(const Statement& statement, const ClassInfo& cls, RecordData& data, int offset) const {
    const ClassLayout& own = LayoutOf(cls);
    data.cls = &cls;
    data.names.Borrow(cls.attributes);
    data.values.resize(cls.attributes.size());
    for (size_t i = 0; i < cls.attributes.size(); ++i)
        data.values[i] = statement.Get(offset + own.attributeColumns[i], cls.attributes[i].type);
    data.set.clear();
}

std::optional<std::pair<int32_t, RecordData>> Storage::ReadRow(const Statement& statement, const TableLayout& table,
                                                               int offset) const {
    const ClassInfo* stored = model_->ClassById(static_cast<int16_t>(statement.Int(offset + table.classIdColumn)));
    // A row of a class the model does not know, or does not keep in that table, is read as when it is asked for:
    // not at all.
    if (!stored || LayoutOf(*stored).table != &table) return std::nullopt;
    return std::pair{static_cast<int32_t>(statement.Int(offset + table.columnIndex.at("OBJECT_ID"))),
                     ReadRecord(statement, *stored, offset)};
}

int32_t Storage::Insert(const ClassInfo& cls, RecordData& data) {
    const ClassLayout& layout = LayoutOf(cls);
    data.cls = &cls;
    data.Put("CLASS_ID", Value::Int16(cls.id));
    if (cls.kind == ClassKind::Link) callReads_.below.clear();
    if (!layout.numberingInsertSql.empty()) {
        // The database numbers the object in the insert itself.
        Statement statement = connection_->Prepare(layout.numberingInsertSql);
        const bool borrowed = data.names.Borrows(cls.attributes); // then each attribute is at its own place
        int bound = 0;
        for (size_t i = 0; i < cls.attributes.size(); ++i) {
            if (i == layout.objectIdAttribute) continue;
            int position = borrowed ? static_cast<int>(i) : data.Find(cls.attributes[i].name);
            statement.Bind(++bound,
                           position < 0 ? Value() : ConvertToType(data.values[position], cls.attributes[i].type));
        }
        if (!statement.Step()) throw CvError("the database did not number the new object");
        const auto objectId = static_cast<int32_t>(statement.Int(0));
        data.Put("OBJECT_ID", Value::Int32(objectId));
        return objectId;
    }
    const int32_t objectId = connection_->TakeObjectId();
    data.Put("OBJECT_ID", Value::Int32(objectId));
    Statement statement = connection_->Prepare(layout.insertSql);
    const bool borrowed = data.names.Borrows(cls.attributes);
    for (size_t i = 0; i < cls.attributes.size(); ++i) {
        int position = borrowed ? static_cast<int>(i) : data.Find(cls.attributes[i].name);
        statement.Bind(static_cast<int>(i + 1),
                       position < 0 ? Value() : ConvertToType(data.values[position], cls.attributes[i].type));
    }
    statement.Run();
    connection_->ObjectIdUsed(objectId);
    return objectId;
}

bool Storage::Update(const ClassInfo& cls, int32_t objectId, const std::vector<Written>& written) {
    std::vector<const Value*>& values = updateValues_;
    std::vector<const AttributeInfo*>& attributes = updateAttributes_;
    values.clear();
    attributes.clear();
    // The statement is known by the class and the positions of the attributes written, each kept in the key
    // as its bytes.
    std::string& key = updateKey_;
    key.assign(reinterpret_cast<const char*>(&cls.id), sizeof cls.id);
    for (const Written& value : written) {
        const AttributeInfo* attribute = value.attribute;
        if (!attribute || attribute->system) continue;
        values.push_back(value.value);
        attributes.push_back(attribute);
        const auto position = static_cast<uint32_t>(attribute - cls.attributes.data());
        key.append(reinterpret_cast<const char*>(&position), sizeof position);
    }
    callReads_.rows.erase(objectId);
    if (values.empty()) {
        Statement exists = connection_->Prepare("SELECT 1 FROM " + SqlName(cls.table) + " WHERE OBJECT_ID = ?");
        exists.BindInt(1, objectId);
        return exists.Step();
    }
    auto kept = updateStatements_.find(key);
    if (kept == updateStatements_.end()) {
        std::string assignments;
        for (const AttributeInfo* attribute : attributes)
            assignments += (assignments.empty() ? "" : ", ") + SqlName(attribute->name) + " = ?";
        KeptStatement& pinned =
            connection_->Pin("UPDATE " + SqlName(cls.table) + " SET " + assignments + " WHERE OBJECT_ID = ?");
        kept = updateStatements_.emplace(key, &pinned).first;
    }
    Statement statement = connection_->Prepare(*kept->second);
    for (size_t i = 0; i < values.size(); ++i)
        statement.Bind(static_cast<int>(i + 1), ConvertToType(*values[i], attributes[i]->type));
    statement.BindInt(static_cast<int>(values.size() + 1), objectId);
    statement.Run();
    return connection_->Changes() > 0;
}

void Storage::Delete(const ClassInfo& cls, int32_t objectId) {
    // A link's removal changes the links below its parent; an object's also removes its links.
    if (cls.kind == ClassKind::Link) {
        callReads_.rows.erase(objectId);
        callReads_.below.clear();
    } else {
        ForgetCallReads();
    }
    {
        Statement statement = connection_->Prepare("DELETE FROM " + SqlName(cls.table) + " WHERE OBJECT_ID = ?");
        statement.BindInt(1, objectId).Run();
    }
    if (cls.kind == ClassKind::Link) return;
    for (const auto& table : model_->tables) {
        if (table.kind != ClassKind::Link) continue;
        Statement statement = connection_->Prepare("DELETE FROM " + SqlName(table.name) +
                                                   " WHERE PAR_OBJECT_ID = ?1 OR SON_OBJECT_ID = ?1");
        statement.BindInt(1, objectId).Run();
    }
}

LinkRow Storage::ReadLink(Statement& statement) const {
    LinkRow row;
    row.linkId = static_cast<int32_t>(statement.Int(0));
    row.linkClassId = static_cast<int16_t>(statement.Int(1));
    row.parentClassId = static_cast<int16_t>(statement.Int(2));
    row.parentId = static_cast<int32_t>(statement.Int(3));
    row.childClassId = static_cast<int16_t>(statement.Int(4));
    row.childId = static_cast<int32_t>(statement.Int(5));
    return row;
}

std::vector<LinkRow> Storage::LinksBelow(const ClassInfo& parent, int32_t parentId) {
    std::vector<LinkRow> rows;
    if (KeepsCallReads()) {
        // A walk that goes below an object it reached reads the whole subtree at once.
        auto known = callReads_.below.find(parentId);
        if (known == callReads_.below.end() && CallRow(parentId)) {
            ReadSubtree(parentId);
            known = callReads_.below.find(parentId);
        }
        if (known != callReads_.below.end()) {
            for (const LinkRow& row : known->second) {
                const ClassInfo* linkClass = model_->ClassById(row.linkClassId);
                if (linkClass && model_->Includes(linkClass->parentId, parent.id)) rows.push_back(row);
            }
            return rows;
        }
    }
    const ClassLayout& layout = LayoutOf(parent);
    const auto read = [&](const std::string& sql) {
        Statement statement = connection_->Prepare(sql);
        statement.BindInt(1, parentId);
        while (statement.Step()) {
            LinkRow row = ReadLink(statement);
            const ClassInfo* linkClass = model_->ClassById(row.linkClassId);
            if (linkClass && model_->Includes(linkClass->parentId, parent.id)) rows.push_back(row);
        }
    };
    // One request to a server for every table (in the order they were made), else one statement per table.
    if (!layout.linksBelowUnionSql.empty()) {
        read(layout.linksBelowUnionSql);
        return rows;
    }
    for (const auto& sql : layout.linksBelowSql) read(sql);
    if (layout.linksBelowSql.size() > 1)
        std::sort(rows.begin(), rows.end(), [](const LinkRow& a, const LinkRow& b) { return a.linkId < b.linkId; });
    return rows;
}

Storage::LinkPage Storage::LinksBelowAfter(const ClassInfo& parent, int32_t parentId, int32_t afterLinkId,
                                           size_t count) {
    LinkPage page;
    page.lastLinkId = afterLinkId;
    if (count == 0) return page;
    std::vector<std::pair<LinkRow, RecordData>> read;
    const ClassLayout& layout = LayoutOf(parent);
    std::vector<size_t> rowsOf(layout.linkPageSql.size()); // rows read of each table
    // Where the link's id, parent's class and id, child's class and id are in each table's select.
    std::vector<std::array<int, 5>> linkColumnsOf;
    for (const auto& [table, sql] : layout.linkPageSql)
        linkColumnsOf.push_back({table->columnIndex.at("OBJECT_ID"), table->columnIndex.at("CLASS_ID1"),
                                 table->columnIndex.at("OBJECT_ID1"), table->columnIndex.at("CLASS_ID2"),
                                 table->columnIndex.at("OBJECT_ID2")});
    // A row of the table (at that position in linkPageSql) whose columns start at `offset`.
    const auto readRow = [&](const Statement& statement, size_t position, int offset) {
        const TableLayout& table = *layout.linkPageSql[position].first;
        const auto& columns = linkColumnsOf[position];
        LinkRow row;
        row.linkId = static_cast<int32_t>(statement.Int(offset + columns[0]));
        row.linkClassId = static_cast<int16_t>(statement.Int(offset + table.classIdColumn));
        row.parentClassId = static_cast<int16_t>(statement.Int(offset + columns[1]));
        row.parentId = static_cast<int32_t>(statement.Int(offset + columns[2]));
        row.childClassId = static_cast<int16_t>(statement.Int(offset + columns[3]));
        row.childId = static_cast<int32_t>(statement.Int(offset + columns[4]));
        const ClassInfo* linkClass = model_->ClassById(row.linkClassId);
        // A link of an unknown class, or of one that cannot hang below the parent, is passed over (but
        // still counts for where the next page starts).
        RecordData values;
        if (linkClass && LayoutOf(*linkClass).table == &table) values = ReadRecord(statement, *linkClass, offset);
        read.emplace_back(row, std::move(values));
    };
    const bool keep = KeepsCallReads();
    if (!layout.linkPageUnionSql.empty()) {
        // One request to the server for the pages of every table and their children's rows.
        Statement statement = connection_->Prepare(layout.linkPageUnionSql);
        statement.BindInt(1, parentId).BindInt(2, afterLinkId).BindInt(3, static_cast<int64_t>(count));
        const size_t linkTables = layout.linkPageSql.size();
        for (const TableLayout* table : layout.childTables) page.children.try_emplace(table);
        while (statement.Step()) {
            const auto position = static_cast<size_t>(statement.Int(0));
            const int offset = layout.linkPageOffsets.at(position);
            if (position < linkTables) {
                ++rowsOf[position];
                readRow(statement, position, offset);
                continue;
            }
            const TableLayout& table = *layout.childTables.at(position - linkTables);
            if (auto row = ReadRow(statement, table, offset)) {
                const auto& read = page.children[&table].insert_or_assign(row->first, std::move(row->second));
                if (keep) callReads_.rows.insert_or_assign(row->first, read.first->second);
            }
        }
    } else {
        for (size_t table = 0; table < layout.linkPageSql.size(); ++table) {
            Statement statement = connection_->Prepare(layout.linkPageSql[table].second);
            statement.BindInt(1, parentId).BindInt(2, afterLinkId).BindInt(3, static_cast<int64_t>(count));
            while (statement.Step()) {
                ++rowsOf[table];
                readRow(statement, table, 0);
            }
        }
    }
    for (const size_t rows : rowsOf)
        if (rows == count) page.more = true;
    if (page.more || layout.linkPageSql.size() > 1)
        std::sort(read.begin(), read.end(),
                  [](const auto& a, const auto& b) { return a.first.linkId < b.first.linkId; });
    if (read.size() > count) {
        read.resize(count);
        page.more = true;
    }
    if (!read.empty()) page.lastLinkId = read.back().first.linkId;
    for (auto& [row, values] : read) {
        if (keep && values.cls) callReads_.rows.insert_or_assign(row.linkId, values);
        const ClassInfo* linkClass = model_->ClassById(row.linkClassId);
        if (values.cls && linkClass && model_->Includes(linkClass->parentId, parent.id))
            page.links.emplace_back(row, std::move(values));
    }
    return page;
}

Storage::Children Storage::ReadChildren(LinkPage& page) {
    Children children(*this);
    children.rows_ = std::move(page.children);
    return children;
}

Storage::Children Storage::ReadChildren(const ClassInfo& parent, int32_t parentId, const std::vector<LinkRow>& links) {
    Children children(*this);
    if (!connection_->RemoteRequests()) return children;
    const bool keep = KeepsCallReads();
    // Children the call read already are taken from what it read.
    if (keep && std::all_of(links.begin(), links.end(), [&](const LinkRow& link) { return CallRow(link.childId); }))
        return children;
    for (const auto& link : links) children.rows_.try_emplace(LayoutOf(Class(link.childClassId)).table);
    for (auto& [where, rows] : children.rows_) {
        const auto* table = static_cast<const TableLayout*>(where);
        auto sql = childrenSql_.find({parent.id, table});
        if (sql == childrenSql_.end()) {
            // The ids of the children below the parent in every link table.
            std::string ids;
            for (const auto& links : LayoutOf(parent).linkTables)
                ids += (ids.empty() ? "" : " UNION ALL ") + std::string("SELECT SON_OBJECT_ID FROM ") + SqlName(links) +
                       " WHERE PAR_OBJECT_ID = ?1";
            sql = childrenSql_
                      .emplace(std::pair{parent.id, table}, table->selectAllSql + " WHERE OBJECT_ID IN (" + ids + ")")
                      .first;
        }
        Statement statement = connection_->Prepare(sql->second);
        statement.BindInt(1, parentId);
        while (statement.Step())
            if (auto row = ReadRow(statement, *table)) {
                const auto& read = rows.insert_or_assign(row->first, std::move(row->second));
                if (keep) callReads_.rows.insert_or_assign(row->first, read.first->second);
            }
    }
    return children;
}

std::optional<RecordData> Storage::Children::Take(const LinkRow& link) {
    // A child in a table that was not read (on a file none is, on a server one of a class the model does not hang
    // there) is read when taken.
    auto rows = rows_.find(storage_.LayoutOf(storage_.Class(link.childClassId)).table);
    if (rows == rows_.end()) return storage_.Load(link.childClassId, link.childId);
    auto row = rows->second.find(link.childId);
    if (row == rows->second.end() || !storage_.model_->Includes(link.childClassId, row->second.cls->id))
        return std::nullopt;
    return row->second;
}

const RecordData* Storage::CallRow(int32_t objectId) const {
    if (!KeepsCallReads()) return nullptr;
    auto row = callReads_.rows.find(objectId);
    return row == callReads_.rows.end() ? nullptr : &row->second;
}

void Storage::ForgetCallReads() {
    callReads_.rows.clear();
    callReads_.below.clear();
    callReads_.expected.clear();
    ++callReadsEpoch_;
}

void Storage::ExpectReads(const std::vector<std::pair<int16_t, int32_t>>& objects) {
    if (!KeepsCallReads()) return;
    for (const auto& [classId, objectId] : objects) callReads_.expected.insert_or_assign(objectId, classId);
}

bool Storage::ReadExpected(int32_t objectId) {
    if (!callReads_.expected.contains(objectId) || !KeepsCallReads()) return false;
    // The ids of each table, as a list the server splits.
    std::map<const TableLayout*, std::string> idsOf;
    for (const auto& [id, classId] : std::exchange(callReads_.expected, {}))
        if (const ClassInfo* cls = model_->ClassById(classId); cls && !callReads_.rows.contains(id)) {
            std::string& ids = idsOf[LayoutOf(*cls).table];
            ids += (ids.empty() ? "" : ",") + std::to_string(id);
        }
    for (const auto& [table, ids] : idsOf) {
        Statement statement =
            connection_->Prepare(table->selectAllSql + " WHERE OBJECT_ID = ANY (string_to_array(?, ',')::INTEGER[])");
        statement.BindText(1, ids);
        while (statement.Step())
            if (auto row = ReadRow(statement, *table))
                callReads_.rows.insert_or_assign(row->first, std::move(row->second));
    }
    return true;
}

std::string Storage::RowColumns(const ClassInfo& cls, const std::string& alias) const {
    std::string columns;
    for (const auto& column : model_->Table(cls.table)->columns)
        columns += (columns.empty() ? "" : ", ") + alias + "." + SqlName(column.name);
    return columns;
}

void Storage::KeepCallRow(const Statement& statement, const ClassInfo& cls, int offset) {
    if (!KeepsCallReads()) return;
    if (auto row = ReadRow(statement, *LayoutOf(cls).table, offset))
        callReads_.rows.insert_or_assign(row->first, std::move(row->second));
}

void Storage::ReadSubtree(int32_t rootId) {
    const SubtreeSelect& subtree = schema_.Subtree(*connection_);
    if (subtree.sql.empty()) return;
    // Every object reached has all its links below in the subtree, also one with none; they replace what an
    // earlier subtree that reached the same objects gave.
    std::unordered_map<int32_t, std::vector<LinkRow>> below{{rootId, {}}};
    Statement statement = connection_->Prepare(subtree.sql);
    statement.BindInt(1, rootId);
    while (statement.Step()) {
        const auto& table = subtree.tables.at(static_cast<size_t>(statement.Int(0)));
        const TableLayout& layout = *table.layout;
        const int at = table.offset;
        const ClassInfo* stored = model_->ClassById(static_cast<int16_t>(statement.Int(at + layout.classIdColumn)));
        const auto objectId = static_cast<int32_t>(statement.Int(at + layout.columnIndex.at("OBJECT_ID")));
        if (table.links) {
            LinkRow link;
            link.linkId = objectId;
            link.linkClassId = static_cast<int16_t>(statement.Int(at + layout.classIdColumn));
            link.parentClassId = static_cast<int16_t>(statement.Int(at + layout.columnIndex.at("CLASS_ID1")));
            link.parentId = static_cast<int32_t>(statement.Int(at + layout.columnIndex.at("OBJECT_ID1")));
            link.childClassId = static_cast<int16_t>(statement.Int(at + layout.columnIndex.at("CLASS_ID2")));
            link.childId = static_cast<int32_t>(statement.Int(at + layout.columnIndex.at("OBJECT_ID2")));
            const auto parentId = static_cast<int32_t>(statement.Int(at + layout.columnIndex.at("PAR_OBJECT_ID")));
            below[parentId].push_back(link);
            below.try_emplace(static_cast<int32_t>(statement.Int(at + layout.columnIndex.at("SON_OBJECT_ID"))));
        }
        // A row of a class the model does not know is read as when it is asked for: not at all.
        if (stored && LayoutOf(*stored).table == &layout)
            callReads_.rows.insert_or_assign(objectId, ReadRecord(statement, *stored, at));
    }
    for (auto& [parentId, links] : below) {
        std::sort(links.begin(), links.end(), [](const LinkRow& a, const LinkRow& b) { return a.linkId < b.linkId; });
        callReads_.below.insert_or_assign(parentId, std::move(links));
    }
}

std::vector<LinkRow> Storage::LinksBetween(int32_t firstId, int32_t secondId) {
    std::vector<LinkRow> rows;
    if (!linksBetweenSql_) {
        std::string sql;
        for (const auto& table : model_->tables) {
            if (table.kind != ClassKind::Link) continue;
            if (!sql.empty()) sql += " UNION ALL ";
            sql += std::string("SELECT ") + kLinkColumns + " FROM " + SqlName(table.name) +
                   " WHERE (PAR_OBJECT_ID = ?1 AND SON_OBJECT_ID = ?2) OR (PAR_OBJECT_ID = ?2 AND SON_OBJECT_ID = ?1)";
        }
        linksBetweenSql_ = sql.empty() ? sql : sql + " ORDER BY OBJECT_ID";
    }
    if (linksBetweenSql_->empty()) return rows;
    // One statement over every link table: one request to a server, one consistent read.
    Statement statement = connection_->Prepare(*linksBetweenSql_);
    statement.BindInt(1, firstId).BindInt(2, secondId);
    while (statement.Step()) rows.push_back(ReadLink(statement));
    return rows;
}

std::vector<LinkRow> Storage::RemoveLinksBetween(int32_t firstId, int32_t secondId) {
    if (!connection_->RemoteRequests()) {
        std::vector<LinkRow> links = LinksBetween(firstId, secondId);
        Transaction transaction(*connection_);
        for (const auto& link : links) Delete(Class(link.linkClassId), link.linkId);
        transaction.Commit();
        return links;
    }
    if (removeLinksBetweenSql_.empty()) {
        std::string removals;
        std::string removed;
        for (const auto& table : model_->tables) {
            if (table.kind != ClassKind::Link) continue;
            const std::string name = SqlName("REMOVED_" + table.name);
            removals += (removals.empty() ? "WITH " : ", ") + name + " AS (DELETE FROM " + SqlName(table.name) +
                        " WHERE (PAR_OBJECT_ID = ?1 AND SON_OBJECT_ID = ?2) OR (PAR_OBJECT_ID = ?2 AND SON_OBJECT_ID = "
                        "?1) RETURNING " +
                        kLinkColumns + ")";
            removed +=
                (removed.empty() ? " SELECT " : " UNION ALL SELECT ") + std::string(kLinkColumns) + " FROM " + name;
        }
        if (removals.empty()) return {};
        removeLinksBetweenSql_ = removals + removed + " ORDER BY OBJECT_ID";
    }
    std::vector<LinkRow> links;
    Transaction transaction(*connection_);
    {
        Statement statement = connection_->Prepare(removeLinksBetweenSql_);
        statement.BindInt(1, firstId).BindInt(2, secondId);
        while (statement.Step()) links.push_back(ReadLink(statement));
    }
    // A link of a class the model does not know fails the removal, as its removal on its own does.
    for (const auto& link : links) Class(link.linkClassId);
    transaction.Commit();
    if (!links.empty()) {
        callReads_.below.clear();
        for (const auto& link : links) callReads_.rows.erase(link.linkId);
    }
    return links;
}

std::vector<LinkRow> Storage::LinksByEnds(const ClassInfo& linkClass, int32_t parentId, int32_t childId) {
    std::vector<LinkRow> rows;
    Statement statement =
        connection_->Prepare(std::string("SELECT ") + kLinkColumns + " FROM " + SqlName(linkClass.table) +
                             " WHERE PAR_OBJECT_ID = ? AND SON_OBJECT_ID = ? AND CLASS_ID = ? ORDER BY OBJECT_ID");
    statement.BindInt(1, parentId).BindInt(2, childId).BindInt(3, linkClass.id);
    while (statement.Step()) rows.push_back(ReadLink(statement));
    return rows;
}

std::optional<Storage::UserRow> Storage::UserByLogin(const std::string& login) {
    Statement statement =
        connection_->Prepare("SELECT OBJECT_ID, IS_ADMINISTRATOR FROM USERS WHERE LOGIN = ? ORDER BY OBJECT_ID");
    statement.BindText(1, login);
    if (!statement.Step()) return std::nullopt;
    return UserRow{static_cast<int32_t>(statement.Int(0)), statement.Int(1) != 0};
}

int32_t Storage::AddUser(const std::string& login, bool admin,
                         const std::vector<std::pair<std::string, Value>>& values) {
    const ClassInfo& users = Class(model_->usersClassId);
    RecordData data;
    data.cls = &users;
    data.Set("LOGIN", Value::Text(login));
    for (const auto& [name, value] : values) {
        const AttributeInfo* attribute = users.Attribute(name);
        if (!attribute || attribute->system || name == "LOGIN")
            throw CvError("\"" + name + "\" is not an attribute a user can be given");
        data.Set(name, value);
    }
    Transaction transaction(*connection_);
    int32_t objectId = Insert(users, data);
    Statement statement = connection_->Prepare("UPDATE USERS SET IS_ADMINISTRATOR = ? WHERE OBJECT_ID = ?");
    statement.BindInt(1, admin ? 1 : 0).BindInt(2, objectId).Run();
    transaction.Commit();
    return objectId;
}

std::optional<std::string> Storage::NextSequenceValue(const std::string& name) {
    auto sequence = std::find_if(model_->sequences.begin(), model_->sequences.end(),
                                 [&](const SequenceInfo& s) { return s.name == name; });
    if (sequence == model_->sequences.end()) return std::nullopt;
    Transaction transaction(*connection_);
    auto number = connection_->NextSequenceNumber(name, static_cast<size_t>(sequence - model_->sequences.begin()));
    if (!number) throw CvError("the sequence \"" + name + "\" is missing from the database");
    transaction.Commit();
    return sequence->Format(*number);
}

std::string Storage::DisplayText(const ClassInfo& cls, int32_t objectId, const RecordData* data,
                                 const std::string& separator) {
    if (cls.displayText.empty()) return std::to_string(objectId);
    std::optional<RecordData> stored;
    bool loaded = false;
    // A record read for the class has each attribute at its place in the class: no name is searched for.
    const bool placed =
        data && data->names.Borrows(cls.attributes) && cls.displayPositions.size() == cls.displayText.size();
    std::string text;
    for (size_t i = 0; i < cls.displayText.size(); ++i) {
        if (i > 0) text += separator;
        const std::string& name = cls.displayText[i];
        if (const int position = placed ? static_cast<int>(cls.displayPositions[i])
                                 : data ? data->Find(name)
                                        : -1;
            position >= 0) {
            text += data->values[position].AsText();
            continue;
        }
        if (!loaded && objectId != 0) stored = Load(cls.id, objectId);
        loaded = true;
        if (stored && stored->Has(name)) text += stored->Get(name).AsText();
    }
    return text;
}

} // namespace quendra::embedded
