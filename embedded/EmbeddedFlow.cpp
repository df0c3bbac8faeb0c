// The workflow: a process runs through its class's steps; each open step is an entry of the user's work list.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedFlow.h"

#include "CvError.h"
#include "EmbeddedObject.h"

#include <chrono>
#include <cstdio>

namespace quendra::embedded {

namespace {

// The calendar of std::chrono, not the C library's gmtime_r, which Windows lacks.
std::string TimeText(std::chrono::system_clock::time_point when) {
    auto day = std::chrono::floor<std::chrono::days>(when);
    std::chrono::year_month_day date{day};
    std::chrono::hh_mm_ss time{std::chrono::floor<std::chrono::seconds>(when - day)};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(date.year()), unsigned(date.month()),
                  unsigned(date.day()), int(time.hours().count()), int(time.minutes().count()),
                  int(time.seconds().count()));
    return text;
}

class EmbeddedFlowTarget : public CvFlowTarget {
public:
    EmbeddedFlowTarget(int16_t classId, int32_t step) : classId(classId), step(step) {}
    int16_t classId;
    int32_t step;
};

class EmbeddedFlowTargets : public CvFlowTargets {
public:
    EmbeddedFlowTargets(Context context, std::vector<Ptr<CvFlowTarget>> targets)
        : context_(std::move(context)), targets_(std::move(targets)) {}
    Ptr<CvFlowTarget> Item(int32_t position) override try {
        auto operation = context_->storage->Call(CvOperation::CvFlowTargets_Item);
        if (position < 0 || static_cast<size_t>(position) >= targets_.size())
            throw CvError("the step has no next target at position " + std::to_string(position));
        return targets_[position];
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
    std::vector<Ptr<CvFlowTarget>> targets_;
};

class EmbeddedFlowNode : public CvFlowNode {
public:
    EmbeddedFlowNode(Context context, const ClassInfo& process, int32_t step)
        : context_(std::move(context)), process_(process), step_(step) {}
    Ptr<CvFlowTargets> NextTargets() override try {
        auto operation = context_->storage->Call(CvOperation::CvFlowNode_NextTargets);
        std::vector<Ptr<CvFlowTarget>> targets;
        if (static_cast<size_t>(step_ + 1) < process_.steps.size())
            targets.push_back(std::make_shared<EmbeddedFlowTarget>(process_.id, step_ + 1));
        return std::make_shared<EmbeddedFlowTargets>(context_, std::move(targets));
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
    const ClassInfo& process_;
    int32_t step_;
};

// One open step of a process in the work list.
struct EntryRow {
    int32_t entryId = 0;
    int32_t processId = 0;
    int32_t step = 0;
    int16_t classId = 0;
};

bool IsOpen(Storage& storage, int32_t entryId) {
    Statement statement = storage.Sql().Prepare("SELECT OPEN FROM PLATFORM_WORK_ENTRIES WHERE ENTRY_ID = ?");
    statement.BindInt(1, entryId);
    return statement.Step() && statement.Int(0) != 0;
}

const EmbeddedFlowTarget& TargetOf(const Ptr<CvFlowTarget>& target) {
    auto* own = dynamic_cast<EmbeddedFlowTarget*>(target.get());
    if (!own) throw CvError(target ? "the target does not belong to this platform" : "a target is needed here");
    return *own;
}

class EmbeddedFlowStep : public CvFlowStep {
public:
    EmbeddedFlowStep(Context context, EntryRow entry) : context_(std::move(context)), entry_(entry) {}
    void Forward(const Ptr<CvFlowTarget>& target, const std::string& comment,
                 std::chrono::system_clock::time_point when) override try {
        Storage& storage = *context_->storage;
        auto operation = storage.Call(CvOperation::CvFlowStep_Forward);
        const EmbeddedFlowTarget& next = TargetOf(target);
        if (next.classId != entry_.classId || next.step != entry_.step + 1)
            throw CvError("the process cannot move on to that step");
        storage.CheckWritable();
        Transaction transaction(storage.Sql());
        {
            Statement close =
                storage.Sql().Prepare("UPDATE PLATFORM_WORK_ENTRIES SET OPEN = 0 WHERE ENTRY_ID = ? AND OPEN = 1");
            close.BindInt(1, entry_.entryId).Run();
        }
        if (storage.Sql().Changes() == 0) throw CvError("the work list entry is done already");
        {
            // The process's row as the call may have read it is read again.
            storage.ForgetCallReads();
            Statement move = storage.Sql().Prepare("UPDATE PLATFORM_PROCESSES SET STEP = ? WHERE OBJECT_ID = ?");
            move.BindInt(1, next.step).BindInt(2, entry_.processId).Run();
        }
        {
            Statement history = storage.Sql().Prepare(
                "INSERT INTO PLATFORM_FLOW_HISTORY (PROCESS_ID, FROM_STEP, TO_STEP, COMMENT, WHEN_TIME, USER_ID) "
                "VALUES (?, ?, ?, ?, ?, ?)");
            history.BindInt(1, entry_.processId)
                .BindInt(2, entry_.step)
                .BindInt(3, next.step)
                .BindText(4, comment)
                .BindText(5, TimeText(when))
                .BindInt(6, context_->userId)
                .Run();
        }
        {
            Statement open =
                storage.Sql().Prepare("INSERT INTO PLATFORM_WORK_ENTRIES (PROCESS_ID, STEP, USER_ID) VALUES (?, ?, ?)");
            open.BindInt(1, entry_.processId).BindInt(2, next.step).BindInt(3, context_->userId).Run();
        }
        transaction.Commit();
        storage.Record(events::Forward{comment, {entry_.classId, entry_.processId}});
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
    EntryRow entry_;
};

class EmbeddedFlowEntry : public CvFlowEntry {
public:
    EmbeddedFlowEntry(Context context, EntryRow entry) : context_(std::move(context)), entry_(entry) {}
    Ptr<CvObject> Object() override try {
        auto operation = context_->storage->Call(CvOperation::CvFlowEntry_Object);
        const ClassInfo& process = context_->storage->Class(entry_.classId);
        auto data = std::make_shared<RecordData>();
        data->cls = &process;
        data->Put("CLASS_ID", Value::Int16(entry_.classId));
        data->Put("OBJECT_ID", Value::Int32(entry_.entryId));
        data->Put("OBJECT_ID1", Value::Int32(entry_.processId));
        data->Put("STEP", Value::Int16(static_cast<int16_t>(entry_.step)));
        return std::make_shared<EmbeddedObject>(context_, process, std::move(data), entry_.entryId, true);
    } catch (...) {
        context_->storage->Failed();
    }
    void Take() override try {
        Storage& storage = *context_->storage;
        auto operation = storage.Call(CvOperation::CvFlowEntry_Take);
        storage.CheckWritable();
        Transaction transaction(storage.Sql());
        Statement take =
            storage.Sql().Prepare("UPDATE PLATFORM_WORK_ENTRIES SET TAKEN = 1 WHERE ENTRY_ID = ? AND OPEN = 1");
        take.BindInt(1, entry_.entryId).Run();
        if (storage.Sql().Changes() == 0) throw CvError("the work list entry is done already");
        transaction.Commit();
    } catch (...) {
        context_->storage->Failed();
    }
    Ptr<CvFlowStep> CurrentStep() override try {
        auto operation = context_->storage->Call(CvOperation::CvFlowEntry_CurrentStep);
        return std::make_shared<EmbeddedFlowStep>(context_, entry_);
    } catch (...) {
        context_->storage->Failed();
    }
    Ptr<CvFlowNode> Definition() override try {
        auto operation = context_->storage->Call(CvOperation::CvFlowEntry_Definition);
        return std::make_shared<EmbeddedFlowNode>(context_, context_->storage->Class(entry_.classId), entry_.step);
    } catch (...) {
        context_->storage->Failed();
    }
    bool CanForwardTo(const Ptr<CvFlowTarget>& target) override try {
        auto operation = context_->storage->Call(CvOperation::CvFlowEntry_CanForwardTo);
        const EmbeddedFlowTarget& next = TargetOf(target);
        return next.classId == entry_.classId && next.step == entry_.step + 1 &&
               IsOpen(*context_->storage, entry_.entryId);
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
    EntryRow entry_;
};

class EmbeddedFlowEntries : public CvFlowEntries {
public:
    EmbeddedFlowEntries(Context context, std::vector<EntryRow> entries)
        : context_(std::move(context)), entries_(std::move(entries)) {}
    int32_t Count() override try {
        auto operation = context_->storage->Call(CvOperation::CvFlowEntries_Count);
        return static_cast<int32_t>(entries_.size());
    } catch (...) {
        context_->storage->Failed();
    }
    Ptr<CvFlowEntry> Entry(int32_t position) override try {
        auto operation = context_->storage->Call(CvOperation::CvFlowEntries_Entry);
        if (position < 0 || static_cast<size_t>(position) >= entries_.size())
            throw CvError("the work list has no entry at position " + std::to_string(position));
        return std::make_shared<EmbeddedFlowEntry>(context_, entries_[position]);
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
    std::vector<EntryRow> entries_;
};

class EmbeddedFlowWorkList : public CvFlowWorkList {
public:
    explicit EmbeddedFlowWorkList(Context context) : context_(std::move(context)) {}
    Ptr<CvFlowEntries> Entries() override try {
        auto operation = context_->storage->Call(CvOperation::CvFlowWorkList_Entries);
        Statement statement = context_->storage->Sql().Prepare(
            "SELECT e.ENTRY_ID, e.PROCESS_ID, e.STEP, p.CLASS_ID FROM PLATFORM_WORK_ENTRIES e "
            "JOIN PLATFORM_PROCESSES p ON p.OBJECT_ID = e.PROCESS_ID WHERE e.OPEN = 1 AND e.USER_ID = ? "
            "ORDER BY e.ENTRY_ID");
        statement.BindInt(1, context_->userId);
        std::vector<EntryRow> entries;
        while (statement.Step())
            entries.push_back({static_cast<int32_t>(statement.Int(0)), static_cast<int32_t>(statement.Int(1)),
                               static_cast<int32_t>(statement.Int(2)), static_cast<int16_t>(statement.Int(3))});
        return std::make_shared<EmbeddedFlowEntries>(context_, std::move(entries));
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
};

class EmbeddedFlowProcess : public CvFlowProcess {
public:
    EmbeddedFlowProcess(Context context, const ClassInfo& process, int32_t processId)
        : context_(std::move(context)), process_(process), processId_(processId) {}
    Ptr<CvObject> Object() override try {
        auto operation = context_->storage->Call(CvOperation::CvFlowProcess_Object);
        auto data = std::make_shared<RecordData>();
        data->cls = &process_;
        data->Put("CLASS_ID", Value::Int16(process_.id));
        data->Put("OBJECT_ID", Value::Int32(processId_));
        return std::make_shared<EmbeddedObject>(context_, process_, std::move(data), processId_, true);
    } catch (...) {
        context_->storage->Failed();
    }
    void Attach(const Ptr<CvObject>& object, const Ptr<CvRecord>&) override try {
        Storage& storage = *context_->storage;
        auto operation = storage.Call(CvOperation::CvFlowProcess_Attach);
        EmbeddedObject& attached = Own(object);
        if (!attached.IsStored()) throw CvError("only a stored object can be attached to a process");
        storage.CheckWritable();
        Transaction transaction(storage.Sql());
        Statement insert = storage.Sql().Prepare(
            "INSERT INTO PLATFORM_ATTACHMENTS (PROCESS_ID, CLASS_ID, OBJECT_ID) VALUES (?, ?, ?)");
        insert.BindInt(1, processId_).BindInt(2, attached.Key().classId).BindInt(3, attached.Key().objectId).Run();
        transaction.Commit();
        storage.Record(events::Attach{attached.Key()});
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
    const ClassInfo& process_;
    int32_t processId_;
};

} // namespace

Ptr<CvFlowWorkList> EmbeddedFlowStore::WorkList() try {
    auto operation = context_->storage->Call(CvOperation::CvFlowStore_WorkList);
    return std::make_shared<EmbeddedFlowWorkList>(context_);
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvFlowProcess> EmbeddedFlowStore::NewProcess(int16_t processClassId) try {
    Storage& storage = *context_->storage;
    auto operation = storage.Call(CvOperation::CvFlowStore_NewProcess);
    const ClassInfo& process = storage.Class(processClassId);
    if (process.kind != ClassKind::Process) throw CvError("\"" + process.name + "\" is not a process");
    storage.CheckWritable();
    RecordData data;
    data.cls = &process;
    data.Put("STEP", Value::Int16(0));
    Transaction transaction(storage.Sql());
    int32_t processId = storage.Insert(process, data);
    Statement entry =
        storage.Sql().Prepare("INSERT INTO PLATFORM_WORK_ENTRIES (PROCESS_ID, STEP, USER_ID) VALUES (?, 0, ?)");
    entry.BindInt(1, processId).BindInt(2, context_->userId).Run();
    transaction.Commit();
    return std::make_shared<EmbeddedFlowProcess>(context_, process, processId);
} catch (...) {
    context_->storage->Failed();
}

} // namespace quendra::embedded
