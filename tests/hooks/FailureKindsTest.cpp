// Object services that catch every failure catch one that is no std::exception too. That those which catch
// nothing let failures pass is MidwayFailureTest's.
// SPDX-License-Identifier: Apache-2.0
#include "ClsUtils.h"
#include "TestWorld.h"

#include <functional>

namespace quendra::test {
namespace {

// What an automation wrapper may throw for a failed call: not derived from std::exception.
struct ForeignFailure {};

// The real session, except that one of its operations fails with a ForeignFailure.
class FailingSession : public CvSession {
public:
    FailingSession(Ptr<CvSession> inner, std::string failing)
        : inner_(std::move(inner)), failing_(std::move(failing)) {}
    Ptr<CvObjectStore> ObjectStore() override { return Check("ObjectStore"), inner_->ObjectStore(); }
    Ptr<CvMetaInfo> MetaInfo() override { return Check("MetaInfo"), inner_->MetaInfo(); }
    Ptr<CvUserInfo> CurrentUser() override { return Check("CurrentUser"), inner_->CurrentUser(); }
    Ptr<CvDispatch> CreateObject(const std::string& progId) override {
        return Check("CreateObject"), inner_->CreateObject(progId);
    }

private:
    void Check(const std::string& operation) const {
        if (operation == failing_) throw ForeignFailure{};
    }
    Ptr<CvSession> inner_;
    std::string failing_;
};

using FailureKindsTest = WorldTest;

TEST_F(FailureKindsTest, AFailureThatIsNoStdExceptionIsCaughtWhereTheOperationCatchesAll) {
    const ObjectKey parent = Part("P-1");
    const ObjectKey child = Part("P-2");
    const std::string cleanFailed = "An Error Occured to Clean Link Atrributes Configured in the Script";
    const struct {
        const char* operation;
        const char* failing; // the session operation that fails
        Texts shown;
        std::function<void(ClsUtils&, const Ptr<CvSession>&)> run;
    } cases[] = {
        {"Link2Object",
         "MetaInfo",
         {},
         [&](ClsUtils& utils, const Ptr<CvSession>& s) {
             utils.Link2Object(s, Fetch(parent), Fetch(child), std::make_shared<StringList>(), nullptr, false);
         }},
        {"SearchObject",
         "CreateObject",
         {},
         [](ClsUtils& utils, const Ptr<CvSession>& s) { EXPECT_EQ(utils.SearchObject(s), nullptr); }},
        {"Refresh_Screen",
         "CreateObject",
         {},
         [&](ClsUtils& utils, const Ptr<CvSession>& s) { utils.Refresh_Screen(s, Fetch(parent), 1); }},
        {"CleanLinkAttributes",
         "MetaInfo",
         {"critical/OK: " + cleanFailed},
         [](ClsUtils& utils, const Ptr<CvSession>& s) {
             EXPECT_EQ(utils.CleanLinkAttributes(s, std::make_shared<StringList>(StringList{"CN_QUANTITY"})), nullptr);
         }},
        {"MandatoryAttributesAreFilled",
         "MetaInfo",
         {},
         [&](ClsUtils& utils, const Ptr<CvSession>& s) {
             EXPECT_FALSE(utils.MandatoryAttributesAreFilled(s, Fetch(parent)));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        Answers(std::vector<answering::Answer>(c.shown.size(), Press("OK")));
        auto failing = std::make_shared<FailingSession>(session, c.failing);
        ClsUtils utils(user);
        EXPECT_NO_THROW(c.run(utils, failing));
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_TRUE(db->Harness().Events().empty());
        EXPECT_EQ(db->CountObjects("Part"), 2);
        ExpectAllAnswered();
    }
}

} // namespace
} // namespace quendra::test
