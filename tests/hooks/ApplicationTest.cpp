// The eighteen hooks against a platform failure: each catches it and answers 1, or lets it reach the host.
#include "World.h"

#include <iterator>

namespace quendra::test {
namespace {

enum class Rows { Part, Document, Link, PendingLink, None };

const struct {
    const char* hook;
    Rows rows;
    const char* failingOperation;
    bool failureReachesHost;
} entries[] = {
    {"AddExistingPart", Rows::Part, "CvObjectStore.ObjectFromRecord", false},
    {"AddMainPart", Rows::Part, "CvObjectStore.ObjectFromRecord", false},
    {"AddNewPart", Rows::Part, "CvObject.Retrieve", false},
    {"AfterCheckInDocuments", Rows::Document, "CvObjectStore.ObjectFromRecord", true},
    {"BeforeAddPartsTreeLink", Rows::PendingLink, "CvObjectStore.ObjectById", true},
    {"BeforeCheckOutReleaseDocs", Rows::Document, "CvObject.Retrieve", true},
    {"BeforeDeleteDocuments", Rows::Document, "CvObjectStore.ObjectFromRecord", true},
    {"BeforeNewReleaseObj", Rows::Part, "CvObject.WorkingObject", true},
    {"BeforeUpdate", Rows::Part, "CvRecList.RecordAt", true},
    {"CopyTreeFrom", Rows::None, "CvObject.TreeLinks", false},
    {"DeleteLink", Rows::Link, "CvRecList.RecordCount", true},
    {"LinkUpdate", Rows::Link, "CvRecList.RecordCount", false},
    {"LockObject", Rows::Part, "CvObjectStore.ObjectFromRecord", false},
    {"ReplacePart", Rows::Link, "CvRecList.RecordCount", false},
    {"ReplacePartByNewPart", Rows::Link, "CvRecList.RecordCount", false},
    {"UnLockObject", Rows::Part, "CvObjectStore.ObjectFromRecord", false},
    {"UploadDocument", Rows::Part, "CvObjectStore.ObjectFromRecord", false},
    {"IsLockedForUpdate", Rows::Part, "CvObjectStore.ObjectFromRecord", true},
};

TEST(ApplicationTest, PlatformFailureIsCaughtOrReachesTheHostAsEachHookPromises) {
    ASSERT_EQ(std::size(entries), host::HookCatalog::All().size());
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.hook);
        // A part with a child below it and a document, ready for every hook.
        World w;
        const ObjectKey top = w.Part("P-1"), wheel = w.Part("P-2"), link = w.TreeLink(top, wheel);
        const ObjectKey document = w.Document(
            "", {{"FILE_NAME", Value::Text("a.dwg")}, {"FILE_TYPE", Value::Int16(12)}, {"STATE", Value::Int16(0)}});
        host::HookArguments arguments;
        arguments.texts = {{"LinkAttributes", "CN_QUANTITY"},
                           {"SelectOp", "APPROVE"},
                           {"Extensions", "dwg"},
                           {"FileTypes", "Drawing"}};
        arguments.objects = {{"Obj", w.Fetch(wheel)}, {"FromObj", w.Fetch(top)}, {"MyNewPart", nullptr}};
        switch (entry.rows) {
        case Rows::Part:
            arguments.rows = w.Rows({top});
            break;
        case Rows::Document:
            arguments.rows = w.Rows({document});
            break;
        case Rows::Link:
            arguments.rows = w.LinkRow(link);
            break;
        case Rows::PendingLink:
            arguments.rows = w.PendingLinkRow(top, wheel);
            break;
        case Rows::None:
            break;
        }
        w.Answers({});
        w.db->FailCall(entry.failingOperation, 1);
        if (entry.failureReachesHost) {
            EXPECT_THROW(w.Call(entry.hook, arguments), CvError);
        } else {
            EXPECT_EQ(w.Call(entry.hook, arguments), 1);
        }
        // The hooks themselves never tell the user about a failure, and nothing was written.
        EXPECT_TRUE(w.Shown().empty());
        EXPECT_EQ(arguments.objects["MyNewPart"], nullptr);
        for (const auto& event : w.db->Events()) {
            EXPECT_NE(event.kind, Event::Kind::Insert);
            EXPECT_NE(event.kind, Event::Kind::Update);
            EXPECT_NE(event.kind, Event::Kind::Delete);
        }
    }
}

} // namespace
} // namespace quendra::test
