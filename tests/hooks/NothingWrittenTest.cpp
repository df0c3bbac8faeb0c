// Refusals and calls with nothing to do write nothing and redraw nothing. Scenario files cannot say this:
// their "events" hold when those events happened, whatever else happened too.
// SPDX-License-Identifier: Apache-2.0
#include "TestWorld.h"

namespace quendra::test {
namespace {

struct QuietWorld : World {
    QuietWorld() { Call("AfterCheckInDocuments", Rows({document})); } // links the document to its part
    ObjectKey top = Part("P-1"), own = Part("P-2", LockedBy("carl")), doras = Part("P-3", LockedBy("dora"));
    ObjectKey document = Document("P-1", LockedBy("carl"));
    ObjectKey folder = db->CreateObject("Folder", {{"FOLDER_NAME", Value::Text("F")}});
    ObjectKey freeLink = TreeLink(top, own), heldLink = TreeLink(doras, own);
};

TEST(NothingWrittenTest, RefusalsAndCallsWithNothingToDoLeaveNoEvent) {
    using W = QuietWorld;
    const struct {
        const char* login;
        const char* hook;
        ObjectKey W::*row; // none: no rows
        const char* text;  // the link attributes or the operation
        std::vector<answering::Answer> answers;
    } cases[] = {
        {"carl", "LockObject", &W::own, "", {}},
        {"admin", "LockObject", &W::doras, "", {}},
        {"carl", "UnLockObject", nullptr, "", {}},
        {"carl", "BeforeCheckOutReleaseDocs", &W::document, "CHECKOUT", {}},
        {"carl", "BeforeCheckOutReleaseDocs", &W::document, " APPROVE", {}},
        {"carl", "AfterCheckInDocuments", &W::document, "", {}},
        {"carl", "BeforeDeleteDocuments", &W::folder, "", {}},
        {"carl", "AddNewPart", &W::top, "CN_QUANTITY", {Fill({}, "Cancel")}},
        {"carl", "LinkUpdate", &W::freeLink, "CN_QUANTITY", {SetRows({{"Quantity", "9"}}, "Cancel")}},
        {"carl", "ReplacePart", &W::heldLink, "CN_QUANTITY", {Press("OK")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.hook) + " as " + c.login + " with \"" + c.text + "\"");
        W w;
        w.session = w.db->Login(c.login, w.user);
        const bool link = c.row == &W::freeLink || c.row == &W::heldLink;
        playback::HookArguments arguments{!c.row ? w.Rows({})
                                          : link ? w.LinkRow(w.*c.row)
                                                 : w.Rows({w.*c.row}),
                                          {{"LinkAttributes", c.text}, {"SelectOp", c.text}},
                                          {}};
        w.Answers(c.answers);
        w.Call(c.hook, arguments);
        w.ExpectAllAnswered();
        for (const auto& event : w.db->Harness().Events())
            EXPECT_TRUE(std::holds_alternative<embedded::events::Sql>(event));
    }
}

} // namespace
} // namespace quendra::test
