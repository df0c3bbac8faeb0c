// Schema: a model's tables in a database, and the statements and column positions by which each class is
// read and written there, worked out once.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Connection.h"
#include "Model.h"

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quendra::embedded {

struct TableLayout {
    std::string selectAllSql; // every column of every row, for a WHERE to follow
    std::string selectSql;    // the same of one object id
    std::unordered_map<std::string, int> columnIndex;
    int classIdColumn = 0;
    // The select, pinned in the connection's statement cache on first use.
    mutable KeptStatement* select = nullptr;
};

struct ClassLayout {
    const TableLayout* table = nullptr;
    std::vector<int> attributeColumns; // position in the table's select of each attribute of the class
    std::string insertSql;
    // Where the database numbers objects in the insert: the insert giving the new id, and the position of
    // OBJECT_ID among the attributes (not bound).
    std::string numberingInsertSql;
    size_t objectIdAttribute = 0;
    std::vector<std::string> linksBelowSql; // one per link table that may hold links below the class
    std::vector<std::string> linkTables;    // those tables
    // The same tables read a page at a time with every column: (table, select).
    std::vector<std::pair<const TableLayout*, std::string>> linkPageSql;
    // Where statements go to a server: linksBelowSql in one select, and the pages of every table with the rows
    // of their children in one select. Each row of that has its table's position first (in linkPageSql, then
    // in childTables after them), and linkPageOffsets says where each table's columns start in it.
    std::string linksBelowUnionSql;
    std::string linkPageUnionSql;
    std::vector<int> linkPageOffsets;
    std::vector<const TableLayout*> childTables; // the tables children of the links below may be in
};

// The columns of a link that every link table has, in the order ReadLink reads them.
inline constexpr const char* kLinkColumns = "OBJECT_ID, CLASS_ID, CLASS_ID1, OBJECT_ID1, CLASS_ID2, OBJECT_ID2";

// A table or column name of the model as an SQL identifier, in double quotes. The scripted toolkit's
// InQuotes looks the same but quotes texts for people to read; the two change for different reasons.
std::string SqlName(const std::string& name);

// Where statements go to a server: every link below an object, down to the leaves, and the rows of those links
// and of the objects they lead to, in one select. Each row has its table's position in `tables` first, then a
// place for each table's columns (its own rows fill it, the others' NULLs of its types), from that table's offset.
struct SubtreeSelect {
    std::string sql;
    struct Table {
        const TableLayout* layout = nullptr;
        int offset = 0;
        bool links = false;
    };
    std::vector<Table> tables;
};

class Schema {
public:
    // The layouts of the model's tables and classes in the connection's SQL.
    Schema(const Model& model, Connection& connection);
    Schema(const Schema&) = delete;
    Schema& operator=(const Schema&) = delete;

    // Makes the tables of a new database and their first rows, but for the users.
    void Create(Connection& connection) const;

    const ClassLayout& Of(const ClassInfo& cls) const { return classes_.at(cls.id); }
    // The classes of objects, as the query dialog offers them (id, name).
    const std::vector<std::pair<int16_t, std::string>>& ObjectClassNames() const { return objectClassNames_; }
    // The subtree's select (made when first asked for).
    const SubtreeSelect& Subtree(Connection& connection);

private:
    void AddTable(const TableInfo& table);
    ClassLayout LayoutOf(const ClassInfo& cls, Connection& connection) const;
    // The link tables' selects of a class in one statement each, for a connection to a server.
    void AddUnionSql(const ClassInfo& cls, ClassLayout& layout, Connection& connection) const;

    const Model& model_;
    std::unordered_map<std::string, TableLayout> tables_;
    std::unordered_map<int16_t, ClassLayout> classes_;
    std::vector<std::pair<int16_t, std::string>> objectClassNames_;
    SubtreeSelect subtree_;
};

} // namespace quendra::embedded
