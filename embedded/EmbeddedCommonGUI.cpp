// The search: query dialog, result dialog, the picked objects, and redraws recorded as events.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedCommonGUI.h"

#include "CvError.h"
#include "EmbeddedObject.h"
#include "EmbeddedObjects.h"
#include "ReadSnapshot.h"

#include <algorithm>
#include <optional>
#include <typeinfo>

namespace quendra::embedded {

namespace {

class EmbeddedGUIQuery final : public CvGUIQuery {
public:
    SearchQuery query;
};

// What a view shows: the query it searches with and the objects the user picked.
struct ViewState {
    std::shared_ptr<EmbeddedGUIQuery> query;
    std::vector<Ptr<CvObject>> picked; // objects of this platform only
    // The lists of the picked objects handed out, and the object picked first before the latest picks: it becomes
    // the next object picked from a list once nobody else holds it.
    SpareObjects lists;
    Spare<EmbeddedObject> spare;

    // Nothing picked; the first object picked stays as the spare.
    void ForgetPicked() {
        if (!picked.empty()) spare.Keep(std::static_pointer_cast<EmbeddedObject>(std::move(picked.front())));
        picked.clear();
    }
    // The spare, when nobody else holds it, its values or its record (a list nobody holds lets it go first).
    std::shared_ptr<EmbeddedObject> TakeSpare() {
        lists.Release();
        if (!spare.Unheld([](const EmbeddedObject& object) { return object.ValuesUnshared(); })) return nullptr;
        return spare.Take();
    }
};

class EmbeddedGUISelection : public CvGUISelection {
public:
    EmbeddedGUISelection(Context context, ViewState& state) : context_(std::move(context)), state_(state) {}
    Ptr<CvGUIQuery> Query() override try {
        auto operation = context_->storage->Call(CvOperation::CvGUISelection_Query);
        if (!state_.query) throw CvError("the view has no query");
        return state_.query;
    } catch (...) {
        context_->storage->Failed();
    }
    void SetQuery(const Ptr<CvGUIQuery>& query) override try {
        auto operation = context_->storage->Call(CvOperation::CvGUISelection_SetQuery);
        // Nothing derives from the platform's query: its type alone tells.
        const CvGUIQuery* given = query.get();
        if (!given || typeid(*given) != typeid(EmbeddedGUIQuery))
            throw CvError("the query does not belong to this platform");
        state_.query = std::static_pointer_cast<EmbeddedGUIQuery>(query);
    } catch (...) {
        context_->storage->Failed();
    }
    Ptr<CvObjects> Objects() override try {
        auto operation = context_->storage->Call(CvOperation::CvGUISelection_Objects);
        auto objects = state_.lists.Next(context_->storage);
        for (const auto& object : state_.picked) objects->Append(object);
        return objects;
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
    ViewState& state_;
};

class Search;

class EmbeddedGUIDialog : public CvGUIDialog {
public:
    // results: the dialog shows what the view's query finds; otherwise it is the query dialog, shown already.
    EmbeddedGUIDialog(Context context, Search& search, bool results)
        : context_(std::move(context)), search_(search), results_(results) {}
    Ptr<CvGUIView> View() override;
    void Close() override try {
        auto operation = context_->storage->Call(CvOperation::CvGUIDialog_Close);
    } catch (...) {
        context_->storage->Failed();
    }
    void SetOption(int32_t) override try {
        auto operation = context_->storage->Call(CvOperation::CvGUIDialog_SetOption);
    } catch (...) {
        context_->storage->Failed();
    }
    void Prepare() override try {
        auto operation = context_->storage->Call(CvOperation::CvGUIDialog_Prepare);
    } catch (...) {
        context_->storage->Failed();
    }
    int32_t Show() override;

private:
    Context context_;
    Search& search_;
    bool results_;
    std::vector<RecordData> values_; // the values read for the listed rows, while a showing picks from them
    std::vector<SearchCandidate> found_;
    std::vector<ObjectKey> picked_;
};

class EmbeddedGUIView : public CvGUIView {
public:
    EmbeddedGUIView(Context context, Search& search) : context_(std::move(context)), search_(search) {}
    Ptr<CvGUISelection> Selection() override;
    Ptr<CvGUISelection> Contents() override;
    Ptr<CvGUIDialog> ResultDialog() override;
    void RefreshObjects(int32_t action, const Ptr<CvObjects>& objects, bool flag) override try {
        auto operation = context_->storage->Call(CvOperation::CvGUIView_RefreshObjects);
        context_->storage->Record(events::Refresh{action, KeysOf(objects), flag});
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
    Search& search_;
};

// One search and everything that shows it: its state, the view, the view's selection (which is also its contents),
// the result dialog and the query dialog. Each is made once, with the search, and handed out as a part of it, so
// every call hands out the same one again; nobody holds any of them once nobody holds the search.
class Search : public Lends<Search> {
public:
    explicit Search(const Context& context)
        : selection(context, state), view(context, *this), results(context, *this, true), query(context, *this, false) {
    }

    // Back to a new view's state: no query, nothing picked.
    void Clear() {
        state.query.reset();
        state.ForgetPicked();
    }
    // Asks anew: an empty query (the same object unless anyone else holds it), nothing picked.
    SearchQuery& Restart() {
        if (HeldAlone(state.query))
            state.query->query.Clear();
        else
            state.query = std::make_shared<EmbeddedGUIQuery>();
        state.picked.clear();
        return state.query->query;
    }

    ViewState state;
    EmbeddedGUISelection selection;
    EmbeddedGUIView view;
    EmbeddedGUIDialog results;
    EmbeddedGUIDialog query;
};

Ptr<CvGUIView> EmbeddedGUIDialog::View() try {
    auto operation = context_->storage->Call(CvOperation::CvGUIDialog_View);
    return search_.Lend(search_.view);
} catch (...) {
    context_->storage->Failed();
}

int32_t EmbeddedGUIDialog::Show() try {
    auto operation = context_->storage->Call(CvOperation::CvGUIDialog_Show);
    if (!results_) return 1;
    ViewState& state = search_.state;
    const EmbeddedGUIQuery* query = state.query.get();
    if (!query) throw CvError("the view has no query to show the results of");
    // The lists keep their room from one showing to the next, emptied: no row read stays after a showing.
    std::vector<RecordData>& values = values_;
    std::vector<SearchCandidate>& found = found_;
    std::vector<ObjectKey>& picked = picked_;
    values.clear();
    picked.clear();
    FindCandidates(*context_->storage, query->query, found, &values);
    if (!context_->dialogs->RunResultDialog(found, picked)) {
        values.clear();
        found.clear();
        return 0;
    }
    state.ForgetPicked();
    std::shared_ptr<EmbeddedObject> spare = state.TakeSpare();
    // A picked row of the list becomes the object with the values read for the list: they move to the object
    // made of the row (the spare, refilled, when there is one); the same row picked again gets a copy of them.
    for (auto key = picked.begin(); key != picked.end(); ++key) {
        auto row = std::find_if(found.begin(), found.end(), [&](const SearchCandidate& c) { return c.key == *key; });
        if (row == found.end()) {
            state.picked.push_back(EmbeddedObject::Fetch(context_, key->classId, key->objectId));
            continue;
        }
        RecordData& stored = values[static_cast<size_t>(row - found.begin())];
        const ClassInfo& cls = *stored.cls;
        auto earlier = std::find(picked.begin(), key, *key);
        if (earlier == key && spare) {
            spare->Refill(cls, std::move(stored), key->objectId);
            state.picked.push_back(std::move(spare));
            continue;
        }
        auto data = earlier == key
                        ? std::make_shared<RecordData>(std::move(stored))
                        : std::make_shared<RecordData>(*Own(state.picked[earlier - picked.begin()]).Values());
        state.picked.push_back(std::make_shared<EmbeddedObject>(context_, cls, std::move(data), key->objectId));
    }
    values.clear();
    found.clear();
    return 1;
} catch (...) {
    context_->storage->Failed();
}

// Selection and contents both show the view's state: one object serves for both.
Ptr<CvGUISelection> EmbeddedGUIView::Selection() try {
    auto operation = context_->storage->Call(CvOperation::CvGUIView_Selection);
    return search_.Lend(search_.selection);
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvGUISelection> EmbeddedGUIView::Contents() try {
    auto operation = context_->storage->Call(CvOperation::CvGUIView_Contents);
    return search_.Lend(search_.selection);
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvGUIDialog> EmbeddedGUIView::ResultDialog() try {
    auto operation = context_->storage->Call(CvOperation::CvGUIView_ResultDialog);
    return search_.Lend(search_.results);
} catch (...) {
    context_->storage->Failed();
}

// New views, each of a search of its own. The search made last is emptied and its view handed out again once
// nobody holds the view or anything of its search.
class FreshViews {
public:
    explicit FreshViews(Context context) : context_(std::move(context)) {}
    Ptr<CvGUIView> Next() {
        if (Search* search = last_.Unheld())
            search->Clear();
        else
            last_.Keep(std::make_shared<Search>(context_));
        return last_.Kept()->Lend(last_.Kept()->view);
    }

private:
    Context context_;
    Spare<Search> last_;
};

class EmbeddedViewMaker : public CvViewMaker {
public:
    explicit EmbeddedViewMaker(Context context) : context_(context), views_(std::move(context)) {}
    Ptr<CvGUIView> MakeView(int32_t) override try {
        auto operation = context_->storage->Call(CvOperation::CvViewMaker_MakeView);
        return views_.Next();
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
    FreshViews views_;
};

class EmbeddedDialogMaker : public CvDialogMaker {
public:
    explicit EmbeddedDialogMaker(Context context) : context_(std::move(context)) {}
    int32_t RunQueryDialog(Ptr<CvGUIDialog>& dialog) override try {
        auto operation = context_->storage->Call(CvOperation::CvDialogMaker_RunQueryDialog);
        // The search of the dialog made last asks again once nobody holds anything of it.
        if (!last_.Unheld()) last_.Keep(std::make_shared<Search>(context_));
        Search& search = *last_.Kept();
        bool confirmed = context_->dialogs->RunQueryDialog(context_->storage->ObjectClassNames(), search.Restart());
        dialog = search.Lend(search.query);
        return confirmed ? 1 : 0;
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
    Spare<Search> last_; // the search of the query dialog made last
};

class EmbeddedDesktopWindow : public CvDesktopWindow {
public:
    explicit EmbeddedDesktopWindow(Context context) : context_(context), views_(std::move(context)) {}
    Ptr<CvGUIView> View() override try {
        auto operation = context_->storage->Call(CvOperation::CvDesktopWindow_View);
        return views_.Next();
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
    FreshViews views_;
};

} // namespace

Ptr<CvViewMaker> EmbeddedCommonGUI::ViewMaker() try {
    auto operation = context_->storage->Call(CvOperation::CvCommonGUI_ViewMaker);
    if (!viewMaker_) viewMaker_ = std::make_shared<EmbeddedViewMaker>(context_);
    return viewMaker_;
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvDialogMaker> EmbeddedCommonGUI::DialogMaker() try {
    auto operation = context_->storage->Call(CvOperation::CvCommonGUI_DialogMaker);
    if (!dialogMaker_) dialogMaker_ = std::make_shared<EmbeddedDialogMaker>(context_);
    return dialogMaker_;
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvDesktopWindow> EmbeddedCommonGUI::DesktopWindow() try {
    auto operation = context_->storage->Call(CvOperation::CvCommonGUI_DesktopWindow);
    if (!desktopWindow_) desktopWindow_ = std::make_shared<EmbeddedDesktopWindow>(context_);
    return desktopWindow_;
} catch (...) {
    context_->storage->Failed();
}

std::vector<SearchCandidate> FindCandidates(Storage& storage, const SearchQuery& query,
                                            std::vector<RecordData>* values) {
    std::vector<SearchCandidate> found;
    FindCandidates(storage, query, found, values);
    return found;
}

void FindCandidates(Storage& storage, const SearchQuery& query, std::vector<SearchCandidate>& found,
                    std::vector<RecordData>* values) {
    found.clear();
    const Model& model = storage.GetModel();
    // One read transaction for the search and the rows it lists; a single row needs none.
    std::optional<ReadSnapshot> snapshot;
    if (query.objects.size() != 1) snapshot.emplace(storage.Sql());
    std::vector<ObjectKey> searched; // the objects the conditions find, unless the query names its objects
    const std::vector<ObjectKey>& keys = query.objects.empty() ? searched : query.objects;
    if (query.objects.empty()) {
        for (const auto& root : model.classes) {
            if (root.kind != ClassKind::Object || root.superId != root.id) continue;
            const ClassInfo* scope = &root;
            if (query.classId != 0) {
                const ClassInfo* asked = model.ClassById(query.classId);
                if (!asked || asked->rootId != root.id) continue;
                scope = asked;
            }
            const TableInfo* table = model.Table(root.table);
            std::string sql = "SELECT CLASS_ID, OBJECT_ID FROM " + SqlName(root.table) + " WHERE CLASS_ID IN (";
            for (size_t i = 0; i < scope->family.size(); ++i) sql += (i ? ", " : "") + std::to_string(scope->family[i]);
            sql += ")";
            bool possible = true;
            for (const auto& [attribute, text] : query.conditions) {
                bool known = false;
                for (const auto& column : table->columns) known = known || column.name == attribute;
                if (!known)
                    possible = false;
                else // contains, ASCII letters in either case; unlike LIKE, for a text of any length
                    sql += " AND instr(lower(CAST(" + SqlName(attribute) + " AS TEXT)), lower(?)) > 0";
            }
            if (!possible) continue;
            Statement statement = storage.Sql().Prepare(sql + " ORDER BY OBJECT_ID");
            int position = 1;
            for (const auto& condition : query.conditions) statement.BindText(position++, condition.second);
            while (statement.Step())
                searched.push_back({static_cast<int16_t>(statement.Int(0)), static_cast<int32_t>(statement.Int(1))});
        }
        std::sort(searched.begin(), searched.end(),
                  [](const ObjectKey& a, const ObjectKey& b) { return a.objectId < b.objectId; });
    }
    found.reserve(keys.size());
    if (values) values->reserve(keys.size());
    // Each row is read where it stays (into the values asked for, else into one record read again).
    RecordData row;
    static const std::string separator = "-";
    for (const auto& key : keys) {
        RecordData& stored = values ? values->emplace_back() : row;
        if (!storage.LoadInto(key.classId, key.objectId, stored)) {
            if (values) values->pop_back();
            continue;
        }
        const ClassInfo& cls = *stored.cls;
        found.push_back(
            {ObjectKey{cls.id, key.objectId}, cls.name, storage.DisplayText(cls, key.objectId, &stored, separator)});
    }
}

} // namespace quendra::embedded
