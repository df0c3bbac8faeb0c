// Storage: one database connection with its model, and the reads and writes every session shares.
#pragma once

#include "Connection.h"
#include "CvOperation.h"
#include "Database.h"
#include "Model.h"
#include "QueryPlan.h"
#include "RecordData.h"
#include "Transaction.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
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

// Marks a platform operation as running while it lives, so that a failure is recorded once, by the
// outermost operation, and not again by the operations it calls.
class OperationScope {
public:
    explicit OperationScope(int& depth) : depth_(depth) { ++depth_; }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;
    ~OperationScope() { --depth_; }

private:
    int& depth_;
};

class Storage : public Harness {
public:
    Storage(std::unique_ptr<Connection> connection, std::shared_ptr<const Model> model);

    const Model& GetModel() const { return *model_; }
    Connection& Sql() { return *connection_; }
    // Tables and first rows of a new database.
    void CreateSchema();

    // Counts one call of an operation and fails it when a fault was injected for it. Every platform
    // operation starts with it and keeps the scope to its end; its handler of every failure calls Failed.
    [[nodiscard]] OperationScope Call(CvOperation operation) {
        if (depth_ == 0) operation_ = operation;
        if (!faults_.empty()) Fire(operation);
        return OperationScope(depth_);
    }
    // In the handler of a failure of an operation: records the failure as an error event when the
    // operation is the outermost one, then lets the failure go on.
    [[noreturn]] void Failed();
    void FailCall(const std::string& operation, int nth) override;
    void ClearFaults() override { faults_.clear(); }
    std::vector<std::pair<std::string, int>> UnfiredFaults() const override;
    void SetReadOnly(bool on) override { readOnly_ = on; }
    // The database was opened for reading only: every write through a session is refused.
    void SetOpenedForReading() { openedForReading_ = true; }
    // Refuses a write through a session while the database is read-only.
    void CheckWritable() const;
    void Record(Event event) {
        events_.push_back(std::move(event));
        if (listener_) listener_(events_.back());
    }
    const std::vector<Event>& Events() const override { return events_; }
    void ClearEvents() override {
        events_.clear();
        machineFailure_.reset();
    }
    std::optional<std::string> MachineFailureText() const override { return machineFailure_; }
    void SetEventListener(std::function<void(const Event&)> listener) override { listener_ = std::move(listener); }

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
    // Links of that class from parent to child, in the order they were made.
    std::vector<LinkRow> LinksByEnds(const ClassInfo& linkClass, int32_t parentId, int32_t childId);
    // A page of the links with that object as parent: at most `count` of those made after the link
    // `afterLinkId` (0: from the first), in the order they were made, each with its stored values.
    struct LinkPage {
        std::vector<std::pair<LinkRow, RecordData>> links;
        int32_t lastLinkId = 0; // where the next page starts
        bool more = false;      // links may follow
    };
    LinkPage LinksBelowAfter(const ClassInfo& parent, int32_t parentId, int32_t afterLinkId, size_t count);
    // The children of links below the parent, each taken as Load of the link's child class and id gives it
    // (nothing for a child that is gone). Where statements are requests to a server, the children of those
    // links are read at once, with one statement per table they are in (of a page of links, LinksBelowAfter
    // from afterLinkId, count, only the children of that page); elsewhere each child is read when taken.
    struct LinkPageStart {
        int32_t afterLinkId = 0;
        size_t count = 0;
    };
    class Children {
    public:
        std::optional<RecordData> Take(const LinkRow& link);

    private:
        friend class Storage;
        explicit Children(Storage& storage) : storage_(storage) {}
        Storage& storage_;
        bool read_ = false;
        std::map<const void*, std::unordered_map<int32_t, RecordData>> rows_; // by table, then object id
    };
    Children ReadChildren(const ClassInfo& parent, int32_t parentId, const std::vector<LinkRow>& links);
    // The same for the links of a page.
    Children ReadChildren(const ClassInfo& parent, int32_t parentId, const LinkPage& links,
                          std::optional<LinkPageStart> page = std::nullopt);

    struct UserRow {
        int32_t objectId = 0;
        bool admin = false;
    };
    std::optional<UserRow> UserByLogin(const std::string& login);
    int32_t AddUser(const std::string& login, bool admin, const std::vector<std::pair<std::string, Value>>& values);
    // The next text of the sequence (one write), or nothing for an unknown name.
    std::optional<std::string> NextSequenceValue(const std::string& name);

    // The classes of objects, as the query dialog offers them (id, name).
    const std::vector<std::pair<int16_t, std::string>>& ObjectClassNames() const { return objectClassNames_; }
    // Plans of the structured queries run so far, by their shape.
    std::unordered_map<std::string, QueryPlan>& QueryPlans() { return queryPlans_; }

    // The display text of an object with the values at hand (stored values fill in what is missing).
    std::string DisplayText(const ClassInfo& cls, int32_t objectId, const RecordData* data,
                            const std::string& separator);

private:
    struct TableLayout {
        std::string selectSql;
        std::unordered_map<std::string, int> columnIndex;
        int classIdColumn = 0;
        // The select, pinned in the connection's statement cache on first use.
        mutable KeptStatement* select = nullptr;
    };
    // Statements and column positions of one class, worked out once.
    struct ClassLayout {
        const TableLayout* table = nullptr;
        std::vector<int> attributeColumns; // position in the table's select of each attribute of the class
        std::string insertSql;
        // Where the database numbers objects in the insert: the insert giving the new id, and the position
        // of OBJECT_ID among the attributes (not bound).
        std::string numberingInsertSql;
        size_t objectIdAttribute = 0;
        std::vector<std::string> linksBelowSql; // one per link table that may hold links below the class
        std::vector<std::string> linkTables;    // those tables
        // The same tables read a page at a time with every column: (table, select).
        std::vector<std::pair<const TableLayout*, std::string>> linkPageSql;
        // Where statements go to a server and there are several tables: all their pages in one select, each
        // row with its table's position in linkPageSql first, and where each table's columns start in it.
        std::string linksBelowUnionSql; // and linksBelowSql in one select
        std::string linkPageUnionSql;
        std::vector<int> linkPageOffsets;
    };
    const ClassLayout& LayoutOf(const ClassInfo& cls) const { return classLayouts_.at(cls.id); }
    LinkRow ReadLink(Statement& statement) const;
    // ReadChildren of the links that row gives of each item.
    template <class Links, class Row>
    Children ReadChildrenOf(const ClassInfo& parent, int32_t parentId, const Links& links, Row row,
                            std::optional<LinkPageStart> page);
    // The values of an object of that class from a row of its table's select (its columns from `offset` on).
    RecordData ReadRecord(const Statement& statement, const ClassInfo& cls, int offset = 0) const;
    void ReadRecordInto(const Statement& statement, const ClassInfo& cls, RecordData& data, int offset = 0) const;
    void Fire(CvOperation operation);

    struct Fault {
        CvOperation operation{};
        int nth = 0;
        int calls = 0;
        bool fired = false;
    };

    std::unique_ptr<Connection> connection_;
    std::shared_ptr<const Model> model_;
    std::unordered_map<std::string, TableLayout> layouts_;
    std::unordered_map<int16_t, ClassLayout> classLayouts_;
    std::vector<Fault> faults_;
    int depth_ = 0;           // platform operations running
    CvOperation operation_{}; // the outermost of them
    bool readOnly_ = false;
    bool openedForReading_ = false;
    std::vector<Event> events_;
    std::optional<std::string> machineFailure_; // the first of the machine's among the events
    std::function<void(const Event&)> listener_;
    std::vector<std::pair<int16_t, std::string>> objectClassNames_;
    std::unordered_map<std::string, QueryPlan> queryPlans_;
    // The links between two objects in every link table, in the order they were made.
    std::optional<std::string> linksBetweenSql_; // made when first needed
    // The children's rows in one table, by the parent's class, that table and whether of a page.
    std::map<std::tuple<int16_t, const TableLayout*, bool>, std::string> childrenSql_;
    // UPDATE statements by class and the attributes they write (positions in the class).
    std::unordered_map<std::string, KeptStatement*> updateStatements_;
    // The room Update finds them with.
    std::string updateKey_;
    std::vector<const Value*> updateValues_;
    std::vector<const AttributeInfo*> updateAttributes_;
};

// A table or column name of the model as an SQL identifier, in double quotes. The scripted toolkit's
// InQuotes looks the same but quotes texts for people to read; the two change for different reasons.
std::string SqlName(const std::string& name);

} // namespace quendra::embedded
