// The hooks: how each turns its helper's answer into the hook result and which failures reach the host.
#include "Application.h"
#include "TestWorld.h"

#include <gtest/gtest.h>

#include <functional>

namespace quendra::testing {
namespace {

// One world per case: parts, a link between them and a document, ready for every hook.
struct HookWorld {
    TestWorld world;
    Application app{world.user};
    ObjectKey top = world.Part("P-1");
    ObjectKey wheel = world.Part("P-2");
    ObjectKey link = world.TreeLink(top, wheel);
    ObjectKey document = world.db->CreateObject(
        "Document",
        {{"FILE_NAME", Value::Text("a.dwg")}, {"FILE_TYPE", Value::Int16(12)}, {names::STATE, Value::Int16(0)}});
    Ptr<CvSession> session = world.session;
    Ptr<CvObject> myNewPart;

    Ptr<CvRecList> PendingLink() { return PendingLink(top, wheel); }
    Ptr<CvRecList> PendingLink(ObjectKey parent, ObjectKey child) {
        embedded::HookRow row;
        row.kind = embedded::HookRow::Kind::PendingLink;
        row.linkClass = names::LinkClassPartsTree;
        row.parent = parent;
        row.child = child;
        return world.db->MakeRecList({row});
    }
    ObjectKey Document(const std::string& partNumber, Values extra = {}) {
        Values values{{"FILE_NAME", Value::Text("b.dwg")},
                      {"FILE_TYPE", Value::Int16(12)},
                      {names::STATE, Value::Int16(0)},
                      {names::CN_PART_NUMBER, Value::Text(partNumber)}};
        values.insert(values.end(), extra.begin(), extra.end());
        return world.db->CreateObject("Document", values);
    }
    // Values that make an object locked by Dora.
    Values LockedByDora() {
        auto dora = world.UserId("dora");
        return {{names::CN_LOCKED, Value::Bool(true)},
                {names::USER_OBJECT_ID, Value::Int32(dora)},
                {names::USER_ID_MOD, Value::Int32(dora)}};
    }
};

using Call = std::function<int16_t(HookWorld&)>;

int16_t WithText(const std::string& value, const std::function<int16_t(std::string&)>& call) {
    std::string text = value;
    return call(text);
}

struct Entry {
    const char* hook;
    Call call;
    const char* failingOperation;
    bool failureReachesHost;
};

const std::vector<Entry>& Entries() {
    static const std::vector<Entry> entries{
        {"AddExistingPart",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.top);
             return WithText("CN_QUANTITY", [&](std::string& t) { return w.app.AddExistingPart(w.session, rows, t); });
         },
         "CvObjectStore.ObjectFromRecord", false},
        {"AddMainPart",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.top);
             return w.app.AddMainPart(w.session, rows);
         },
         "CvObjectStore.ObjectFromRecord", false},
        {"AddNewPart",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.top);
             return WithText("CN_QUANTITY", [&](std::string& t) { return w.app.AddNewPart(w.session, rows, t); });
         },
         "CvObject.Retrieve", false},
        {"AfterCheckInDocuments",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.document);
             return w.app.AfterCheckInDocuments(w.session, rows);
         },
         "CvObjectStore.ObjectFromRecord", true},
        {"BeforeAddPartsTreeLink",
         [](HookWorld& w) {
             auto rows = w.PendingLink();
             return w.app.BeforeAddPartsTreeLink(w.session, rows);
         },
         "CvObjectStore.ObjectById", true},
        {"BeforeCheckOutReleaseDocs",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.document);
             return WithText("APPROVE",
                             [&](std::string& t) { return w.app.BeforeCheckOutReleaseDocs(w.session, rows, t); });
         },
         "CvObject.Retrieve", true},
        {"BeforeDeleteDocuments",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.document);
             return w.app.BeforeDeleteDocuments(w.session, rows);
         },
         "CvObjectStore.ObjectFromRecord", true},
        {"BeforeNewReleaseObj",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.top);
             return w.app.BeforeNewReleaseObj(w.session, rows);
         },
         "CvObject.WorkingObject", true},
        {"BeforeUpdate",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.top);
             return WithText("", [&](std::string& t) { return w.app.BeforeUpdate(w.session, rows, t); });
         },
         "CvRecList.RecordAt", true},
        {"CopyTreeFrom",
         [](HookWorld& w) {
             auto obj = w.world.Fetch(w.wheel);
             auto from = w.world.Fetch(w.top);
             return WithText("", [&](std::string& t) { return w.app.CopyTreeFrom(w.session, obj, from, t); });
         },
         "CvObject.TreeLinks", false},
        {"DeleteLink",
         [](HookWorld& w) {
             auto rows = w.world.RowOfLink(w.link);
             return w.app.DeleteLink(w.session, rows);
         },
         "CvRecList.RecordCount", true},
        {"LinkUpdate",
         [](HookWorld& w) {
             auto rows = w.world.RowOfLink(w.link);
             return WithText("CN_QUANTITY", [&](std::string& t) { return w.app.LinkUpdate(w.session, rows, t); });
         },
         "CvRecList.RecordCount", false},
        {"LockObject",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.top);
             return w.app.LockObject(w.session, rows);
         },
         "CvObjectStore.ObjectFromRecord", false},
        {"ReplacePart",
         [](HookWorld& w) {
             auto rows = w.world.RowOfLink(w.link);
             return WithText("CN_QUANTITY", [&](std::string& t) { return w.app.ReplacePart(w.session, rows, t); });
         },
         "CvRecList.RecordCount", false},
        {"ReplacePartByNewPart",
         [](HookWorld& w) {
             auto rows = w.world.RowOfLink(w.link);
             return WithText("CN_QUANTITY", [&](std::string& t) {
                 return w.app.ReplacePartByNewPart(w.session, rows, t, w.myNewPart);
             });
         },
         "CvRecList.RecordCount", false},
        {"UnLockObject",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.top);
             return w.app.UnLockObject(w.session, rows);
         },
         "CvObjectStore.ObjectFromRecord", false},
        {"UploadDocument",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.top);
             std::string extensions = "dwg";
             std::string fileTypes = "Drawing";
             return w.app.UploadDocument(w.session, rows, extensions, fileTypes);
         },
         "CvObjectStore.ObjectFromRecord", false},
        {"IsLockedForUpdate",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.top);
             return w.app.IsLockedForUpdate(w.session, rows);
         },
         "CvObjectStore.ObjectFromRecord", true},
    };
    return entries;
}

TEST(ApplicationTest, PlatformFailureIsCaughtOrReachesTheHostAsEachHookPromises) {
    ASSERT_EQ(Entries().size(), 18u);
    for (const auto& entry : Entries()) {
        SCOPED_TRACE(entry.hook);
        HookWorld w;
        w.world.Answers({});
        w.world.db->Harness().FailCall(entry.failingOperation, 1);
        if (entry.failureReachesHost) {
            EXPECT_THROW(entry.call(w), CvError);
        } else {
            EXPECT_EQ(entry.call(w), 1);
        }
        // The hooks themselves never tell the user about a failure.
        EXPECT_TRUE(w.world.Shown().empty());
        EXPECT_EQ(w.myNewPart, nullptr);
        for (const auto& event : w.world.db->Harness().Events()) {
            EXPECT_NE(event.kind, embedded::Event::Kind::Insert);
            EXPECT_NE(event.kind, embedded::Event::Kind::Update);
            EXPECT_NE(event.kind, embedded::Event::Kind::Delete);
        }
    }
}

TEST(ApplicationTest, LifeCycleHooksAnswerZeroWhenTheCheckPassesAndOneWhenItRefuses) {
    struct Case {
        const char* name;
        std::function<int16_t(HookWorld&)> call;
        int16_t result;
        bool message;
    };
    const std::vector<Case> cases{
        {"check-in finds the part of the document",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.Document("P-1"));
             return w.app.AfterCheckInDocuments(w.session, rows);
         },
         0, false},
        {"check-in finds no part",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.Document("P-404"));
             return w.app.AfterCheckInDocuments(w.session, rows);
         },
         1, false},
        {"link below a free part",
         [](HookWorld& w) {
             auto rows = w.PendingLink();
             return w.app.BeforeAddPartsTreeLink(w.session, rows);
         },
         0, false},
        {"link below a locked part",
         [](HookWorld& w) {
             auto rows = w.PendingLink(w.world.Part("P-9", "Part", w.LockedByDora()), w.wheel);
             return w.app.BeforeAddPartsTreeLink(w.session, rows);
         },
         1, true},
        {"check-out of a free document",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.document);
             return WithText("", [&](std::string& t) { return w.app.BeforeCheckOutReleaseDocs(w.session, rows, t); });
         },
         0, false},
        {"check-out of a locked document",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.Document("P-1", w.LockedByDora()));
             return WithText("", [&](std::string& t) { return w.app.BeforeCheckOutReleaseDocs(w.session, rows, t); });
         },
         1, true},
        {"new release of a plain part",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.top);
             return w.app.BeforeNewReleaseObj(w.session, rows);
         },
         0, false},
        {"new release of a standard part",
         [](HookWorld& w) {
             auto rows = w.world.RowOf(w.world.Part("P-8", "Part", {{names::CN_STANDARD, Value::Bool(true)}}));
             return w.app.BeforeNewReleaseObj(w.session, rows);
         },
         1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HookWorld w;
        if (c.message)
            w.world.Answers({Button("OK")});
        else
            w.world.Answers({});
        EXPECT_EQ(c.call(w), c.result);
        w.world.ExpectScriptPlayed();
        EXPECT_EQ(w.world.Shown().size(), c.message ? 1u : 0u);
    }
}

TEST(ApplicationTest, LockHooksAndDeleteLinkRefuseEvenAfterTheirWorkIsDone) {
    HookWorld w;
    w.world.Answers({});
    auto rows = w.world.RowOf(w.top);
    EXPECT_EQ(w.app.LockObject(w.session, rows), 1);
    EXPECT_TRUE(w.world.db->ReadValue(w.top, names::CN_LOCKED).AsBool());
    // The part has a child: the unlock asks whether to go down the tree.
    w.world.Answers({Button("No")});
    rows = w.world.RowOf(w.top);
    EXPECT_EQ(w.app.UnLockObject(w.session, rows), 1);
    EXPECT_FALSE(w.world.db->ReadValue(w.top, names::CN_LOCKED).AsBool());
    rows = w.world.RowOfLink(w.link);
    EXPECT_EQ(w.app.DeleteLink(w.session, rows), 1);
    EXPECT_TRUE(w.world.TreeLinks(w.top, w.wheel).empty());
    w.world.ExpectScriptPlayed();
}

TEST(ApplicationTest, UpdateGuardAnswersOneOnlyForAnObjectLockedBySomebodyElse) {
    HookWorld w;
    auto dora = w.world.UserId("dora");
    auto locked = w.world.Part("P-9", "Part",
                               {{names::CN_LOCKED, Value::Bool(true)}, {names::USER_OBJECT_ID, Value::Int32(dora)}});
    w.world.Answers({});
    auto rows = w.world.RowOf(w.top);
    EXPECT_EQ(w.app.IsLockedForUpdate(w.session, rows), 0);
    EXPECT_TRUE(w.world.Shown().empty());

    w.world.Answers({Button("OK")});
    rows = w.world.RowOf(locked);
    EXPECT_EQ(w.app.IsLockedForUpdate(w.session, rows), 1);
    w.world.ExpectScriptPlayed();
    EXPECT_EQ(w.world.Shown().size(), 1u);
}

TEST(ApplicationTest, UpdateCheckSeesTheRecordWhileOtherChecksSeeTheStoredObject) {
    HookWorld w;
    auto dora = w.world.UserId("dora");
    // The record says the document is locked by Dora; the database says it is free.
    embedded::HookRow row;
    row.kind = embedded::HookRow::Kind::Object;
    row.key = w.document;
    row.columns = std::vector<std::string>{"CLASS_ID",  "OBJECT_ID", "STATE",          "CN_PART_NUMBER",
                                           "FILE_NAME", "CN_LOCKED", "USER_OBJECT_ID", "USER_ID_MOD"};
    row.values = {{names::CN_LOCKED, Value::Bool(true)},
                  {names::USER_OBJECT_ID, Value::Int32(dora)},
                  {names::USER_ID_MOD, Value::Int32(dora)}};

    w.world.Answers({Button("OK")});
    auto rows = w.world.db->MakeRecList({row});
    std::string selectOp;
    EXPECT_EQ(w.app.BeforeUpdate(w.session, rows, selectOp), 1);
    w.world.ExpectScriptPlayed();
    EXPECT_EQ((Texts{"information/OK: Document -a.dwg is locked by Dora Lind"}), w.world.Shown());

    w.world.Answers({});
    rows = w.world.db->MakeRecList({row});
    EXPECT_EQ(w.app.BeforeDeleteDocuments(w.session, rows), 0);
    w.world.ExpectScriptPlayed();
}

TEST(ApplicationTest, LinkAttributesAreCleanedButUploadListsOnlyParsed) {
    HookWorld w;
    w.world.Answers({Button("OK"), CancelSearch()});
    auto rows = w.world.RowOf(w.top);
    std::string linkAttributes = "CN_QUANTITY,CN_VALID_FROM, CN_QUANTITY";
    EXPECT_EQ(w.app.AddExistingPart(w.session, rows, linkAttributes), 1);
    w.world.ExpectScriptPlayed();
    EXPECT_EQ((Texts{"exclamation/OK: The following attributes cannot be treated because their types is not "
                     "supported :\r\nCN_VALID_FROM\r\nPlease Contact your Administrator",
                     "platform query"}),
              w.world.Shown());

    w.world.Answers({Open({})});
    rows = w.world.RowOf(w.top);
    std::string extensions = "dwg, dwg,NOPE";
    std::string fileTypes = "Drawing,Drawing, Nothing";
    EXPECT_EQ(w.app.UploadDocument(w.session, rows, extensions, fileTypes), 1);
    w.world.ExpectScriptPlayed();
    EXPECT_EQ((Texts{"open All Basic Supported Types(*.dwg;*.dwg;*.NOPE)|*.dwg;*.dwg;*.NOPE|All Files (*.*)|*.*"}),
              w.world.Shown());
}

} // namespace
} // namespace quendra::testing
