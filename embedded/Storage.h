// Storage: one database connection with its model, and the reads and writes of objects, links, users and
// sequences that every session shares.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Connection.h"
#include "Database.h"
#include "Model.h"
#include "PlatformHarness.h"
#include "QueryPlan.h"
#include "RecordData.h"
#include "Schema.h"
#include "Transaction.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quendra::embedded {

struct LinkRow {
    int32_t linkId = 0;
    int16_t linkClassId = 0;
    int16_t parentClassId = 0;
    int32_t parentId = 0;
    int16_t childClassId = 0;
    int32_t childId = 0;
};

class Storage : public PlatformHarness {
public:
    Storage(std::unique_ptr<Connection> connection, std::shared_ptr<const Model> model);

    const Model& GetModel() const { return *model_; }
    Connection& Sql() { return *connection_; }
    // Tables and first rows of a new database.
    void CreateSchema();

    // The class; CvError for an unknown id or name.
    const ClassInfo& Class(int16_t classId) const;
    const ClassInfo& Class(const std::string& name) const;

    // The stored values of the object (every attribute of its own class), or nothing.
    // classId may be the class of the object or any class above it.
    std::optional<RecordData> Load(int16_t classId, int32_t objectId);
    // The same read into that record, whose room for values and names is kept; false, and the record as it
    // was, when there is nothing.
    bool LoadInto(int16_t classId, int32_t objectId, RecordData& data);
    // Writes a new object or link; gives it its object id. The caller holds the transaction.
    int32_t Insert(const ClassInfo& cls, RecordData& data);
    // A value to write and its attribute of the class.
    struct Written {
        const AttributeInfo* attribute = nullptr;
        const Value* value = nullptr;
    };
    // Writes those values in their order (system attributes are not written); false when the object is not
    // stored.
    bool Update(const ClassInfo& cls, int32_t objectId, const std::vector<Written>& written);
    // Removes the object, and its links when it is not a link itself.
    void Delete(const ClassInfo& cls, int32_t objectId);

    // Links with that object as parent, in the order they were made.
    std::vector<LinkRow> LinksBelow(const ClassInfo& parent, int32_t parentId);
    // Links between the two objects, either way round, in the order they were made.
    std::vector<LinkRow> LinksBetween(int32_t firstId, int32_t secondId);
    // Removes the links between the two objects, either way round, in a write of its own; the links removed, in
    // the order they were made. On a server the links are found and removed by one statement.
    std::vector<LinkRow> RemoveLinksBetween(int32_t firstId, int32_t secondId);
    // Links of that class from parent to child, in the order they were made.
    std::vector<LinkRow> LinksByEnds(const ClassInfo& linkClass, int32_t parentId, int32_t childId);
    // The rows of children read at once, by table, then object id.
    using ChildRows = std::map<const void*, std::unordered_map<int32_t, RecordData>>;
    // A page of the links with that object as parent: at most `count` of those made after the link
    // `afterLinkId` (0: from the first), in the order they were made, each with its stored values. Where
    // statements are requests to a server, the rows of the page's children come with it, in the same request.
    struct LinkPage {
        std::vector<std::pair<LinkRow, RecordData>> links;
        int32_t lastLinkId = 0; // where the next page starts
        bool more = false;      // links may follow
        ChildRows children;
    };
    LinkPage LinksBelowAfter(const ClassInfo& parent, int32_t parentId, int32_t afterLinkId, size_t count);
    // The children of links below the parent, each taken as Load of the link's child class and id gives it
    // (nothing for a child that is gone). Where statements are requests to a server, the children of those
    // links are read at once, with one statement per table they are in; elsewhere each child is read when taken.
    class Children {
    public:
        std::optional<RecordData> Take(const LinkRow& link);

    private:
        friend class Storage;
        explicit Children(Storage& storage) : storage_(storage) {}
        Storage& storage_;
        ChildRows rows_;
    };
    Children ReadChildren(const ClassInfo& parent, int32_t parentId, const std::vector<LinkRow>& links);
    // The children of a page of links, as the page read them (it gives them up).
    Children ReadChildren(LinkPage& page);

    struct UserRow {
        int32_t objectId = 0;
        bool admin = false;
    };
    std::optional<UserRow> UserByLogin(const std::string& login);
    int32_t AddUser(const std::string& login, bool admin, const std::vector<std::pair<std::string, Value>>& values);
    // The next text of the sequence (one write), or nothing for an unknown name.
    std::optional<std::string> NextSequenceValue(const std::string& name);

    // The classes of objects, as the query dialog offers them (id, name).
    const std::vector<std::pair<int16_t, std::string>>& ObjectClassNames() const { return schema_.ObjectClassNames(); }
    // Plans of the structured queries run so far, by their shape.
    QueryPlanCache& QueryPlans() { return queryPlans_; }

    // The display text of an object with the values at hand (stored values fill in what is missing).
    std::string DisplayText(const ClassInfo& cls, int32_t objectId, const RecordData* data,
                            const std::string& separator);

    // Forgets the rows and links a call read (its transaction began or ended).
    void ForgetCallReads();
    // Whether the call keeps the rows it reads: on a server, inside a call's transaction.
    bool KeepsCallReads() const { return connection_->RemoteRequests() && connection_->InOuterTransaction(); }
    // Where the call keeps what it reads: the objects (class id, object id) it will read, such as those of the
    // rows of a list it was handed. The first of them it reads from the database reads them all, in one
    // request per table.
    void ExpectReads(const std::vector<std::pair<int16_t, int32_t>>& objects);
    // Changes whenever what the call read is forgotten (a call begins or ends, an object is deleted).
    uint64_t CallReadsEpoch() const { return callReadsEpoch_; }
    // The columns of the class's table for a select, each after the table's alias in it.
    std::string RowColumns(const ClassInfo& cls, const std::string& alias) const;
    // Where the call keeps what it reads: keeps the row of the class's table that the statement gives from
    // `offset` on, in the order of RowColumns.
    void KeepCallRow(const Statement& statement, const ClassInfo& cls, int offset);

private:
    const ClassLayout& LayoutOf(const ClassInfo& cls) const { return schema_.Of(cls); }
    LinkRow ReadLink(Statement& statement) const;
    // The object id and values of a row of the table's select (its columns from `offset` on), read for the class
    // it names.
    std::optional<std::pair<int32_t, RecordData>> ReadRow(const Statement& statement, const TableLayout& table,
                                                          int offset = 0) const;
    // The values of an object of that class from a row of its table's select (its columns from `offset` on).
    RecordData ReadRecord(const Statement& statement, const ClassInfo& cls, int offset = 0) const;
    void ReadRecordInto(const Statement& statement, const ClassInfo& cls, RecordData& data, int offset = 0) const;

    // On a server, inside a call's transaction, a request is a round trip: the rows the call read as children,
    // links, objects its queries found and objects of a list it was handed are kept by object id, and the links below
    // objects whose links it read all (a subtree read when a walk goes below an object it reached), by the parent's id;
    // the call's later reads of them are answered from here. The call's writes drop what they change, so that it reads
    // them again and sees its own writes.
    struct CallReads {
        std::unordered_map<int32_t, RecordData> rows;
        std::unordered_map<int32_t, std::vector<LinkRow>> below;
        std::unordered_map<int32_t, int16_t> expected; // ExpectReads: class ids by object id
    };
    // The row the call read of that object, or null.
    const RecordData* CallRow(int32_t objectId) const;
    // When the object is one the call was expected to read, reads every such object not read yet; false when
    // it is not.
    bool ReadExpected(int32_t objectId);
    // Every link below the object down to the leaves, with the rows of the links and of their children.
    void ReadSubtree(int32_t rootId);

    std::unique_ptr<Connection> connection_;
    std::shared_ptr<const Model> model_;
    Schema schema_;
    QueryPlanCache queryPlans_;
    // The links between two objects in every link table, in the order they were made.
    std::optional<std::string> linksBetweenSql_; // made when first needed
    std::string removeLinksBetweenSql_;          // on a server, likewise
    // The children's rows in one table, by the parent's class and that table.
    std::map<std::pair<int16_t, const TableLayout*>, std::string> childrenSql_;
    // UPDATE statements by class and the attributes they write (positions in the class).
    std::unordered_map<std::string, KeptStatement*> updateStatements_;
    // The room Update finds them with.
    std::string updateKey_;
    std::vector<const Value*> updateValues_;
    std::vector<const AttributeInfo*> updateAttributes_;
    CallReads callReads_;
    uint64_t callReadsEpoch_ = 1;
};

} // namespace quendra::embedded
