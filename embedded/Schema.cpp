// The tables of a model, and the SQL by which each class is read and written in them.
// SPDX-License-Identifier: Apache-2.0
#include "Schema.h"

#include "Transaction.h"

#include <algorithm>

namespace quendra::embedded {

std::string SqlName(const std::string& name) {
    return "\"" + name + "\"";
}

Schema::Schema(const Model& model, Connection& connection) : model_(model) {
    for (const auto& table : model_.tables) AddTable(table);
    for (const auto& cls : model_.classes)
        if (cls.kind == ClassKind::Object) objectClassNames_.emplace_back(cls.id, cls.name);
    for (const auto& cls : model_.classes) classes_.emplace(cls.id, LayoutOf(cls, connection));
}

void Schema::AddTable(const TableInfo& table) {
    TableLayout layout;
    std::string columns;
    for (size_t i = 0; i < table.columns.size(); ++i) {
        if (i > 0) columns += ", ";
        columns += SqlName(table.columns[i].name);
        layout.columnIndex[table.columns[i].name] = static_cast<int>(i);
    }
    layout.selectAllSql = "SELECT " + columns + " FROM " + SqlName(table.name);
    layout.selectSql = layout.selectAllSql + " WHERE OBJECT_ID = ?";
    auto classIdColumn = layout.columnIndex.find("CLASS_ID");
    if (classIdColumn != layout.columnIndex.end()) layout.classIdColumn = classIdColumn->second;
    tables_.emplace(table.name, std::move(layout));
}

ClassLayout Schema::LayoutOf(const ClassInfo& cls, Connection& connection) const {
    ClassLayout layout;
    layout.table = &tables_.at(cls.table);
    std::string columns;
    std::string marks;
    for (size_t i = 0; i < cls.attributes.size(); ++i) {
        layout.attributeColumns.push_back(layout.table->columnIndex.at(cls.attributes[i].name));
        columns += (i ? ", " : "") + SqlName(cls.attributes[i].name);
        marks += i ? ", ?" : "?";
    }
    layout.insertSql = "INSERT INTO " + SqlName(cls.table) + " (" + columns + ") VALUES (" + marks + ")";
    const std::string objectIdSql = connection.ObjectIdSql();
    const auto objectId = std::find_if(cls.attributes.begin(), cls.attributes.end(),
                                       [](const AttributeInfo& a) { return a.name == "OBJECT_ID"; });
    if (!objectIdSql.empty() && objectId != cls.attributes.end()) {
        layout.objectIdAttribute = objectId - cls.attributes.begin();
        std::string values;
        for (size_t i = 0; i < cls.attributes.size(); ++i)
            values += (i ? ", " : "") + (i == layout.objectIdAttribute ? objectIdSql : std::string("?"));
        layout.numberingInsertSql = "INSERT INTO " + SqlName(cls.table) + " (" + columns + ") VALUES (" + values +
                                    ") RETURNING " + SqlName("OBJECT_ID");
    }
    for (const auto& link : model_.classes)
        if (link.kind == ClassKind::Link && model_.Includes(link.parentId, cls.id) &&
            std::find(layout.linkTables.begin(), layout.linkTables.end(), link.table) == layout.linkTables.end())
            layout.linkTables.push_back(link.table);
    for (const auto& table : layout.linkTables) {
        layout.linksBelowSql.push_back(std::string("SELECT ") + kLinkColumns + " FROM " + SqlName(table) +
                                       " WHERE PAR_OBJECT_ID = ? ORDER BY OBJECT_ID");
        const TableLayout& links = tables_.at(table);
        layout.linkPageSql.emplace_back(
            &links, links.selectAllSql + " WHERE PAR_OBJECT_ID = ? AND OBJECT_ID > ? ORDER BY OBJECT_ID LIMIT ?");
    }
    if (connection.RemoteRequests() && !layout.linkTables.empty()) AddUnionSql(cls, layout, connection);
    return layout;
}

void Schema::AddUnionSql(const ClassInfo& cls, ClassLayout& layout, Connection& connection) const {
    const auto& tables = layout.linkTables;
    // The links below in every table in one statement (their columns are the same in each).
    for (const auto& table : tables)
        layout.linksBelowUnionSql += (layout.linksBelowUnionSql.empty() ? "SELECT " : " UNION ALL SELECT ") +
                                     std::string(kLinkColumns) + " FROM " + SqlName(table) +
                                     " WHERE PAR_OBJECT_ID = ?1";
    layout.linksBelowUnionSql += " ORDER BY OBJECT_ID";
    // The tables the children of those links are in, as the model has them.
    std::vector<std::string> childTables;
    for (const auto& link : model_.classes) {
        if (link.kind != ClassKind::Link || !model_.Includes(link.parentId, cls.id)) continue;
        for (const auto& child : model_.classes)
            if (child.kind == ClassKind::Object && model_.Includes(link.childId, child.id) &&
                std::find(childTables.begin(), childTables.end(), child.table) == childTables.end())
                childTables.push_back(child.table);
    }
    // Every table's page and the rows of the pages' children in one statement: the table's position (the
    // link tables', then the children's), the row's id, then a place for each table's columns, filled by its
    // own rows and by NULLs of their types in the others'.
    std::vector<std::string> all = tables;
    all.insert(all.end(), childTables.begin(), childTables.end());
    std::vector<std::string> columnsOf;
    std::vector<std::string> nullsOf;
    int offset = 2;
    for (const auto& table : all) {
        layout.linkPageOffsets.push_back(offset);
        std::string columns;
        std::string nulls;
        for (const auto& column : model_.Table(table)->columns) {
            columns += ", " + SqlName(column.name);
            nulls += ", CAST(NULL AS " + connection.ColumnType(column.type) + ")";
            ++offset;
        }
        columnsOf.push_back(std::move(columns));
        nullsOf.push_back(std::move(nulls));
    }
    std::string pages;
    std::string children;
    for (const auto& table : tables) {
        pages += (pages.empty() ? "WITH " : ", ") + SqlName("PAGE_" + table) + " AS (" +
                 tables_.at(table).selectAllSql +
                 " WHERE PAR_OBJECT_ID = ?1 AND OBJECT_ID > ?2 ORDER BY OBJECT_ID LIMIT ?3)";
        children += (children.empty() ? "SELECT " : " UNION ALL SELECT ") + std::string("SON_OBJECT_ID FROM ") +
                    SqlName("PAGE_" + table);
    }
    std::string& sql = layout.linkPageUnionSql;
    sql = pages + " ";
    for (size_t i = 0; i < all.size(); ++i) {
        if (i > 0) sql += " UNION ALL ";
        sql += "SELECT " + std::to_string(i) + ", OBJECT_ID";
        for (size_t j = 0; j < all.size(); ++j) sql += i == j ? columnsOf[j] : nullsOf[j];
        if (i < tables.size())
            sql += " FROM " + SqlName("PAGE_" + all[i]);
        else
            sql += " FROM " + SqlName(all[i]) + " WHERE OBJECT_ID IN (" + children + ")";
    }
    sql += " ORDER BY 2";
    for (const auto& table : childTables) layout.childTables.push_back(&tables_.at(table));
}

const SubtreeSelect& Schema::Subtree(Connection& connection) {
    if (!subtree_.sql.empty()) return subtree_;
    // The links below a parent in every link table. Below each object the walk reached, they are read through
    // the parent's index: a subquery of the walk's row (LATERAL, kept apart by OFFSET 0) is never made a join
    // that scans whole tables once per level, which a server without statistics of the tables would choose.
    const auto linksBelow = [this](const std::string& parent) {
        std::string links;
        for (const auto& table : model_.tables)
            if (table.kind == ClassKind::Link)
                links += (links.empty() ? "SELECT " : " UNION ALL SELECT ") +
                         std::string("OBJECT_ID, SON_OBJECT_ID FROM ") + SqlName(table.name) +
                         " WHERE PAR_OBJECT_ID = " + parent;
        return links;
    };
    if (linksBelow("?").empty()) return subtree_;
    // Each link once, so that a cycle ends.
    std::string sql = "WITH RECURSIVE WALK (OBJECT_ID, SON_OBJECT_ID) AS (" + linksBelow("?") +
                      " UNION SELECT L.OBJECT_ID, L.SON_OBJECT_ID FROM WALK W, LATERAL (" +
                      linksBelow("W.SON_OBJECT_ID") + " OFFSET 0) AS L) ";
    std::vector<std::string> columnsOf;
    std::vector<std::string> nullsOf;
    int offset = 1;
    for (const auto& table : model_.tables) {
        subtree_.tables.push_back({&tables_.at(table.name), offset, table.kind == ClassKind::Link});
        std::string columns;
        std::string nulls;
        for (const auto& column : table.columns) {
            columns += ", " + SqlName("ROW_" + table.name) + "." + SqlName(column.name);
            nulls += ", CAST(NULL AS " + connection.ColumnType(column.type) + ")";
            ++offset;
        }
        columnsOf.push_back(std::move(columns));
        nullsOf.push_back(std::move(nulls));
    }
    for (size_t i = 0; i < model_.tables.size(); ++i) {
        if (i > 0) sql += " UNION ALL ";
        sql += "SELECT " + std::to_string(i);
        for (size_t j = 0; j < model_.tables.size(); ++j) sql += i == j ? columnsOf[j] : nullsOf[j];
        // Each row found by its id, as the links are (a child below two parents comes twice).
        sql += " FROM WALK W, LATERAL (SELECT * FROM " + SqlName(model_.tables[i].name) + " WHERE OBJECT_ID = W." +
               (subtree_.tables[i].links ? "OBJECT_ID" : "SON_OBJECT_ID") + " OFFSET 0) AS " +
               SqlName("ROW_" + model_.tables[i].name);
    }
    subtree_.sql = std::move(sql);
    return subtree_;
}

void Schema::Create(Connection& connection) const {
    Transaction transaction(connection);
    connection.Execute("CREATE TABLE PLATFORM_MODEL (MODEL_TEXT TEXT NOT NULL, SOURCE TEXT)");
    std::vector<std::pair<std::string, int64_t>> sequences;
    for (const auto& sequence : model_.sequences) sequences.emplace_back(sequence.name, sequence.next);
    connection.CreateNumberSources(sequences);
    connection.Execute("CREATE TABLE PLATFORM_WORK_ENTRIES (ENTRY_ID " + connection.GeneratedKeyColumn() +
                       ", PROCESS_ID INTEGER NOT NULL, STEP INTEGER NOT NULL, USER_ID INTEGER, "
                       "TAKEN INTEGER NOT NULL DEFAULT 0, OPEN INTEGER NOT NULL DEFAULT 1)");
    connection.Execute("CREATE TABLE PLATFORM_FLOW_HISTORY (PROCESS_ID INTEGER NOT NULL, FROM_STEP INTEGER, "
                       "TO_STEP INTEGER, COMMENT TEXT, WHEN_TIME TEXT, USER_ID INTEGER)");
    connection.Execute("CREATE TABLE PLATFORM_ATTACHMENTS (PROCESS_ID INTEGER NOT NULL, CLASS_ID INTEGER NOT NULL, "
                       "OBJECT_ID INTEGER NOT NULL)");
    for (const auto& table : model_.tables) {
        std::string sql = "CREATE TABLE " + SqlName(table.name) + " (";
        for (size_t i = 0; i < table.columns.size(); ++i) {
            const auto& column = table.columns[i];
            if (i > 0) sql += ", ";
            sql += SqlName(column.name) + " " + connection.ColumnType(column.type);
            if (column.name == "OBJECT_ID")
                sql += " PRIMARY KEY";
            else if (column.name == "CLASS_ID")
                sql += " NOT NULL";
        }
        if (table.name == "USERS") sql += ", IS_ADMINISTRATOR INTEGER NOT NULL DEFAULT 0";
        connection.Execute(sql + ")");
        if (table.kind == ClassKind::Link) {
            // Links below a parent come in the order they were made from the parent's index; the child's
            // index also holds the parent, so a link between two given objects is found without reading
            // every link of an end that has many.
            connection.Execute("CREATE INDEX " + SqlName(table.name + "_PAR_OBJECT_ID") + " ON " + SqlName(table.name) +
                               " (PAR_OBJECT_ID)");
            connection.Execute("CREATE INDEX " + SqlName(table.name + "_SON_OBJECT_ID") + " ON " + SqlName(table.name) +
                               " (SON_OBJECT_ID, PAR_OBJECT_ID)");
        }
    }
    if (model_.Table("USERS")) connection.Execute("CREATE INDEX USERS_LOGIN ON USERS (LOGIN)");
    {
        Statement statement = connection.Prepare("INSERT INTO PLATFORM_MODEL (MODEL_TEXT, SOURCE) VALUES (?, ?)");
        statement.BindText(1, model_.jsonText).BindText(2, model_.source).Run();
    }
    transaction.Commit();
}

} // namespace quendra::embedded
