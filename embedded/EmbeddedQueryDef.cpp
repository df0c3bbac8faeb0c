// Structured queries turned into joins: classes by family, the link between them, conditions with bound values.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedQueryDef.h"

#include "AsciiText.h"
#include "AttributeType.h"
#include "CvError.h"
#include "Spare.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace quendra::embedded {

namespace {

bool IsEmpty(const Value& value) {
    const Value::Kind kind = value.GetKind();
    return kind == Value::Kind::Null || (kind == Value::Kind::Text && value.AsText().empty());
}

// Whether both values are empty or neither is.
bool SameEmptiness(const Value& first, const Value& second) {
    const Value::Kind kind = first.GetKind();
    if (kind == second.GetKind() && kind != Value::Kind::Text) return true;
    return IsEmpty(first) == IsEmpty(second);
}

} // namespace

// Each entry is written over the one in its place, and left as it is while the entries so far are those of the
// marked run.
void QueryParts::AddClass(int16_t classId, const std::string& alias) {
    const bool kept = marked_ && classCount_ < classes_.size() && classes_[classCount_].classId == classId &&
                      classes_[classCount_].alias == alias;
    // Where it is kept, so are the classes before it, whose aliases were each used once in the marked run.
    if (!kept) {
        for (const auto& earlier : Classes())
            if (earlier.alias == alias) throw CvError("the alias \"" + alias + "\" is used twice in the query");
        marked_ = false;
        if (classCount_ == classes_.size()) {
            classes_.emplace_back(classId, alias);
        } else {
            classes_[classCount_].classId = classId;
            classes_[classCount_].alias = alias;
        }
    }
    ++classCount_;
}

void QueryParts::AddColumn(const std::string& attribute, const std::string& alias) {
    const bool kept = marked_ && columnCount_ < columns_.size() && columns_[columnCount_].attribute == attribute &&
                      columns_[columnCount_].alias == alias;
    if (!kept) {
        marked_ = false;
        if (columnCount_ == columns_.size()) {
            columns_.emplace_back(attribute, alias);
        } else {
            columns_[columnCount_].attribute = attribute;
            columns_[columnCount_].alias = alias;
        }
    }
    ++columnCount_;
}

void QueryParts::AddCondition(const std::string& connector, const std::string& attribute, const std::string& op,
                              const Value& value, const std::string& alias) {
    Condition* at = conditionCount_ < conditions_.size() ? &conditions_[conditionCount_] : nullptr;
    const bool kept = marked_ && at && at->connector == connector && at->attribute == attribute && at->op == op &&
                      at->alias == alias && SameEmptiness(at->value, value);
    if (kept) {
        at->value = value;
    } else {
        marked_ = false;
        if (!at) {
            conditions_.emplace_back(connector, attribute, op, value, alias);
        } else {
            at->connector = connector;
            at->attribute = attribute;
            at->op = op;
            at->value = value;
            at->alias = alias;
        }
    }
    ++conditionCount_;
}

void QueryParts::Empty() {
    classCount_ = 0;
    columnCount_ = 0;
    conditionCount_ = 0;
}

void QueryParts::MarkRun() {
    classes_.erase(classes_.begin() + static_cast<std::ptrdiff_t>(classCount_), classes_.end());
    columns_.erase(columns_.begin() + static_cast<std::ptrdiff_t>(columnCount_), columns_.end());
    conditions_.erase(conditions_.begin() + static_cast<std::ptrdiff_t>(conditionCount_), conditions_.end());
    marked_ = true;
}

namespace {

class EmbeddedQueryClasses : public CvQueryClasses {
public:
    EmbeddedQueryClasses(Storage& storage, QueryParts& parts) : storage_(storage), parts_(parts) {}
    void AddClass(int16_t classId, const std::string& alias) override try {
        auto operation = storage_.Call(CvOperation::CvQueryClasses_AddClass);
        storage_.Class(classId);
        parts_.AddClass(classId, alias);
    } catch (...) {
        storage_.Failed();
    }

private:
    Storage& storage_;
    QueryParts& parts_;
};

class EmbeddedQueryColumns : public CvQueryColumns {
public:
    EmbeddedQueryColumns(Storage& storage, QueryParts& parts) : storage_(storage), parts_(parts) {}
    void AddColumn(const std::string& attribute, const std::string& alias, int32_t) override try {
        auto operation = storage_.Call(CvOperation::CvQueryColumns_AddColumn);
        parts_.AddColumn(attribute, alias);
    } catch (...) {
        storage_.Failed();
    }

private:
    Storage& storage_;
    QueryParts& parts_;
};

class EmbeddedQueryConditions : public CvQueryConditions {
public:
    EmbeddedQueryConditions(Storage& storage, QueryParts& parts) : storage_(storage), parts_(parts) {}
    void AddCondition(const std::string& connector, const std::string& attribute, const std::string& op,
                      const Value& value, int32_t, const std::string& alias) override try {
        auto operation = storage_.Call(CvOperation::CvQueryConditions_AddCondition);
        parts_.AddCondition(connector, attribute, op, value, alias);
    } catch (...) {
        storage_.Failed();
    }

private:
    Storage& storage_;
    QueryParts& parts_;
};

// The query's specification and its lists are parts of the query, lent by it.
class EmbeddedQuerySpec : public CvQuerySpec {
public:
    EmbeddedQuerySpec(Storage& storage, QueryParts& parts, EmbeddedQueryDef& query)
        : storage_(storage), query_(query), classes_(storage, parts), columns_(storage, parts),
          conditions_(storage, parts) {}
    Ptr<CvQueryClasses> Classes() override try {
        auto operation = storage_.Call(CvOperation::CvQuerySpec_Classes);
        return query_.Lend(classes_);
    } catch (...) {
        storage_.Failed();
    }
    Ptr<CvQueryColumns> Columns() override try {
        auto operation = storage_.Call(CvOperation::CvQuerySpec_Columns);
        return query_.Lend(columns_);
    } catch (...) {
        storage_.Failed();
    }
    Ptr<CvQueryConditions> Conditions() override try {
        auto operation = storage_.Call(CvOperation::CvQuerySpec_Conditions);
        return query_.Lend(conditions_);
    } catch (...) {
        storage_.Failed();
    }

private:
    Storage& storage_;
    EmbeddedQueryDef& query_;
    EmbeddedQueryClasses classes_;
    EmbeddedQueryColumns columns_;
    EmbeddedQueryConditions conditions_;
};

// One class of the query as SQL sees it.
struct Source {
    const ClassInfo* cls;
    std::string alias; // as the caller named it
    std::string sqlAlias;
};

std::string FamilyList(const ClassInfo& cls) {
    std::string list;
    for (int16_t id : cls.family) {
        if (!list.empty()) list += ", ";
        list += std::to_string(id);
    }
    return list;
}

} // namespace

Ptr<CvQuerySpec> EmbeddedQueryDef::Specification() try {
    auto operation = storage_->Call(CvOperation::CvQueryDef_Specification);
    if (!spec_) spec_ = std::make_unique<EmbeddedQuerySpec>(*storage_, *parts_, *this);
    return Lend(*spec_);
} catch (...) {
    storage_->Failed();
}

void EmbeddedQueryDef::Run() try {
    auto operation = storage_->Call(CvOperation::CvQueryDef_Run);
    Execute();
} catch (...) {
    storage_->Failed();
}

void EmbeddedQueryDef::RunWithOptions(const Ptr<CvUpdateOptions>&) try {
    auto operation = storage_->Call(CvOperation::CvQueryDef_RunWithOptions);
    Execute();
} catch (...) {
    storage_->Failed();
}

Ptr<CvRecList> EmbeddedQueryDef::Result() try {
    auto operation = storage_->Call(CvOperation::CvQueryDef_Result);
    if (!ran_) throw CvError("the query has not run");
    return std::make_shared<EmbeddedRecList>(storage_, rows_);
} catch (...) {
    storage_->Failed();
}

void EmbeddedQueryDef::Clear() {
    parts_->Empty();
    stale_.swap(rows_); // no longer shown, but their room serves the next run
    rows_.clear();
    ran_ = false;
}

int32_t EmbeddedQueryDef::RowCount() try {
    auto operation = storage_->Call(CvOperation::CvQueryDef_RowCount);
    if (!ran_) throw CvError("the query has not run");
    return static_cast<int32_t>(rows_.size());
} catch (...) {
    storage_->Failed();
}

namespace {

// Numbers and texts by their bytes, each text with its length and each list with its count in front, so that no two
// different queries give the same key. The key is sized first and then written in one pass.
class ShapeKey {
public:
    void Number(size_t) { size_ += sizeof(size_t); }
    void Text(const std::string& part) { size_ += sizeof(size_t) + part.size(); }
    void Flag(char) { ++size_; }
    size_t Size() const { return size_; }

private:
    size_t size_ = 0;
};

class ShapeWriter {
public:
    explicit ShapeWriter(char* at) : at_(at) {}
    void Number(size_t number) {
        std::memcpy(at_, &number, sizeof number);
        at_ += sizeof number;
    }
    void Text(const std::string& part) {
        Number(part.size());
        std::memcpy(at_, part.data(), part.size());
        at_ += part.size();
    }
    void Flag(char flag) { *at_++ = flag; }

private:
    char* at_;
};

// Everything the SQL of the query depends on: the values only by whether they are empty.
template <class Out> void WriteShape(const QueryParts& parts, Out& out) {
    out.Number(parts.Classes().size());
    for (const auto& cls : parts.Classes()) {
        out.Number(static_cast<size_t>(static_cast<uint16_t>(cls.classId)));
        out.Text(cls.alias);
    }
    out.Number(parts.Columns().size());
    for (const auto& column : parts.Columns()) {
        out.Text(column.attribute);
        out.Text(column.alias);
    }
    out.Number(parts.Conditions().size());
    for (const auto& condition : parts.Conditions()) {
        out.Text(condition.connector);
        out.Text(condition.attribute);
        out.Text(condition.op);
        out.Text(condition.alias);
        out.Flag(IsEmpty(condition.value) ? 'e' : 'v');
    }
}

// Writes the key into `key`, which keeps its room from one run to the next.
void ShapeOf(const QueryParts& parts, std::string& key) {
    ShapeKey size;
    WriteShape(parts, size);
    key.resize(size.Size());
    ShapeWriter writer(key.data());
    WriteShape(parts, writer);
}

// The SQL of a structured query: its classes joined (at most two objects and the link between them), its
// conditions with their bindings, and its columns with the ids of the object each row names.
class PlanMaker {
public:
    PlanMaker(Storage& storage, const QueryParts& parts)
        : storage_(storage), model_(storage.GetModel()), parts_(parts) {}

    QueryPlan Make() {
        QueryPlan plan;
        JoinClasses();
        if (std::string conditions = Conditions(plan.bindings); !conditions.empty()) AddWhere("(" + conditions + ")");
        const std::string select = Select(plan.outputs);
        const std::string order = (links_.empty() ? objects_[0].sqlAlias : links_[0].sqlAlias) + ".OBJECT_ID";
        plan.sql = "SELECT " + select + " FROM " + from_ + " WHERE " + where_ + " ORDER BY " + order;
        return plan;
    }

private:
    const Source& SourceOf(const std::string& alias) const {
        for (const auto* list : {&objects_, &links_})
            for (const auto& source : *list)
                if (source.alias == alias) return source;
        throw CvError("the query has no class with the alias \"" + alias + "\"");
    }

    // The attribute of the class or of a class below it.
    const AttributeInfo& AttributeOf(const Source& source, const std::string& name) const {
        for (int16_t id : source.cls->family)
            if (const AttributeInfo* attribute = model_.ClassById(id)->Attribute(name)) return *attribute;
        throw CvError("the class \"" + source.cls->name + "\" has no attribute \"" + name + "\"");
    }

    void AddWhere(const std::string& clause) { where_ += (where_.empty() ? "" : " AND ") + clause; }

    // The tables in FROM, each read for its class's family, and the link's ends joined to the objects.
    void JoinClasses() {
        const auto classes = parts_.Classes();
        if (classes.empty()) throw CvError("the query names no class");
        for (size_t i = 0; i < classes.size(); ++i) {
            const ClassInfo& cls = storage_.Class(classes[i].classId);
            Source source{&cls, classes[i].alias, std::string(1, 'T').append(std::to_string(i))};
            (cls.kind == ClassKind::Link ? links_ : objects_).push_back(source);
        }
        for (const auto* list : {&objects_, &links_})
            for (const auto& source : *list) {
                from_ += (from_.empty() ? "" : ", ") + SqlName(source.cls->table) + " " + source.sqlAlias;
                AddWhere(source.sqlAlias + ".CLASS_ID IN (" + FamilyList(*source.cls) + ")");
            }
        if (links_.size() > 1 || objects_.size() > 2 || (links_.empty() && objects_.size() > 1))
            throw CvError("the classes of the query cannot be joined");
        if (!links_.empty() && !objects_.empty()) JoinLink();
    }

    void JoinLink() {
        const ClassInfo& link = *links_[0].cls;
        auto fits = [&](int16_t end, const Source& source) {
            return model_.Includes(end, source.cls->id) || model_.Includes(source.cls->id, end);
        };
        const auto refused = [&] {
            return CvError("the link class \"" + link.name + "\" does not join the classes of the query");
        };
        const Source& first = objects_[0];
        bool firstIsParent = false;
        if (objects_.size() == 2) {
            const Source& second = objects_[1];
            if (fits(link.parentId, first) && fits(link.childId, second))
                firstIsParent = true;
            else if (!fits(link.childId, first) || !fits(link.parentId, second))
                throw refused();
            AddWhere(links_[0].sqlAlias + (firstIsParent ? ".SON_OBJECT_ID = " : ".PAR_OBJECT_ID = ") +
                     second.sqlAlias + ".OBJECT_ID");
        } else if (fits(link.parentId, first)) {
            firstIsParent = true;
        } else if (!fits(link.childId, first)) {
            throw refused();
        }
        AddWhere(links_[0].sqlAlias + (firstIsParent ? ".PAR_OBJECT_ID = " : ".SON_OBJECT_ID = ") + first.sqlAlias +
                 ".OBJECT_ID");
    }

    // The conditions joined by their connectors, and how each one's value is bound.
    std::string Conditions(std::vector<QueryPlan::Binding>& bindings) const {
        std::string conditions;
        for (const auto& condition : parts_.Conditions()) {
            QueryPlan::Binding binding;
            const std::string clause = Clause(condition, binding);
            bindings.push_back(binding);
            std::string connector = AsciiLowerCase(condition.connector);
            if (conditions.empty())
                conditions = clause;
            else if (connector.empty() || connector == "and")
                conditions += " AND " + clause;
            else if (connector == "or")
                conditions += " OR " + clause;
            else
                throw CvError("the query cannot join conditions with \"" + condition.connector + "\"");
        }
        return conditions;
    }

    std::string Clause(const QueryParts::Condition& condition, QueryPlan::Binding& binding) const {
        const Source& source = SourceOf(condition.alias);
        const AttributeInfo& attribute = AttributeOf(source, condition.attribute);
        const std::string column = source.sqlAlias + "." + SqlName(attribute.name);
        const std::string op = AsciiLowerCase(condition.op);
        if (IsEmpty(condition.value) && (op == "=" || op == "<>" || op == "!=")) {
            // Only a text holds an empty value; a number or Boolean column holds none or a value.
            const auto type = static_cast<AttributeType>(attribute.type);
            const bool number = type == AttributeType::Int16 || type == AttributeType::Int32 ||
                                type == AttributeType::Double || type == AttributeType::Bool;
            const std::string clause = number ? column + " IS NULL" : "(" + column + " IS NULL OR " + column + " = '')";
            return op == "=" ? clause : "NOT " + clause;
        }
        static const std::vector<std::string> operators = {"=", "<>", "!=", "<", "<=", ">", ">=", "like"};
        if (std::find(operators.begin(), operators.end(), op) == operators.end())
            throw CvError("the query cannot compare with \"" + condition.op + "\"");
        binding = {true, op != "like", attribute.type};
        return column + " " + (op == "like" ? "LIKE" : op) + " ?";
    }

    // The select list: the columns asked for, then the ids of the object each row names where not asked for
    // (of the class of the first column, or of the first class).
    std::string Select(std::vector<QueryPlan::Output>& outputs) const {
        const auto columns = parts_.Columns();
        std::string select;
        for (const auto& column : columns) {
            const Source& source = SourceOf(column.alias);
            const AttributeInfo& attribute = AttributeOf(source, column.attribute);
            select += (select.empty() ? "" : ", ") + source.sqlAlias + "." + SqlName(attribute.name);
            outputs.push_back({attribute.name, attribute.type});
        }
        const Source& main = columns.empty() ? SourceOf(parts_.Classes()[0].alias) : SourceOf(columns[0].alias);
        const std::pair<const char*, AttributeType> ids[] = {{"CLASS_ID", AttributeType::Int16},
                                                             {"OBJECT_ID", AttributeType::Int32}};
        for (const auto& [name, type] : ids) {
            if (std::any_of(outputs.begin(), outputs.end(),
                            [&id = name](const QueryPlan::Output& o) { return o.name == id; }))
                continue;
            select += (select.empty() ? "" : ", ") + main.sqlAlias + "." + name;
            outputs.push_back({name, static_cast<int32_t>(type)});
        }
        return select;
    }

    Storage& storage_;
    const Model& model_;
    const QueryParts& parts_;
    std::vector<Source> objects_;
    std::vector<Source> links_;
    std::string from_;
    std::string where_;
};

QueryPlan MakePlan(Storage& storage, const QueryParts& parts) {
    return PlanMaker(storage, parts).Make();
}

} // namespace

void EmbeddedQueryDef::Execute() {
    // A query of the shape of its last run has that run's plan; any other looks its shape up.
    QueryPlan* plan = parts_->SameShapeAsMarked() ? plan_ : nullptr;
    std::optional<QueryPlan> single;
    if (!plan) {
        QueryPlanCache& plans = storage_->QueryPlans();
        ShapeOf(*parts_, shape_);
        plan = plans.Find(shape_);
        if (!plan) {
            if (plans.Full())
                plan = &single.emplace(MakePlan(*storage_, *parts_));
            else
                plan = &plans.Keep(shape_, MakePlan(*storage_, *parts_));
        }
        // The storage keeps its plans for its whole life.
        plan_ = single ? nullptr : plan;
        if (plan_) parts_->MarkRun();
    }

    if (!single && !plan->statement) plan->statement = &storage_->Sql().Pin(plan->sql);
    Statement statement = single ? storage_->Sql().Prepare(plan->sql) : storage_->Sql().Prepare(*plan->statement);
    const auto conditions = parts_->Conditions();
    int position = 0;
    for (size_t i = 0; i < plan->bindings.size(); ++i) {
        const QueryPlan::Binding& binding = plan->bindings[i];
        if (!binding.bound) continue;
        const Value& given = conditions[i].value;
        if (!binding.converted || given.IsNull() || given.GetKind() == KindOfType(binding.type)) {
            statement.Bind(++position, given);
            continue;
        }
        Value value;
        try {
            value = ConvertToType(given, binding.type);
        } catch (const CvError&) {
            // No value of that type: compared as no value, it matches none (a server refuses to compare a
            // number column with a text that is no number).
        }
        statement.Bind(++position, value);
    }
    std::vector<RecListRow>& rows = spareRows_; // with the room of an earlier run
    rows.clear();                               // and none of a run that failed midway
    size_t stale = 0;
    while (statement.Step()) {
        // A row of an earlier query that nobody holds any more takes the new values in its room.
        std::shared_ptr<RecordData> record;
        if (stale < stale_.size() && HeldAlone(stale_[stale].record)) {
            record = std::move(stale_[stale++].record);
            record->cls = nullptr;
            record->names.clear();
            record->values.clear();
            record->set.clear();
        } else {
            record = std::make_shared<RecordData>();
        }
        record->names.reserve(plan->outputs.size());
        record->values.reserve(plan->outputs.size());
        for (size_t i = 0; i < plan->outputs.size(); ++i) {
            record->names.push_back(plan->outputs[i].name);
            record->values.push_back(statement.Get(static_cast<int>(i), plan->outputs[i].type));
        }
        rows.push_back({std::move(record), nullptr});
    }
    rows_.swap(rows);
    rows.clear(); // the rows of the run before go now
    stale_.clear();
    ran_ = true;
}

} // namespace quendra::embedded
