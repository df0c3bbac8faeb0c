// Reading a tree a page at a time gives what the platform's tree links give, across link tables and pages.
// SPDX-License-Identifier: Apache-2.0
#include "TreeReader.h"

#include "Names.h"
#include "OnBothStorages.h"
#include "ScriptedUser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quendra::embedded {
namespace {

// "link id: child id" per child, as the platform's tree links list them.
std::vector<std::string> PlatformChildren(Database& db, ObjectKey parent) {
    scripted::ScriptedUser user;
    auto object = db.Login("carl", user)->ObjectStore()->ObjectById(parent.classId, parent.objectId);
    auto links = object->TreeLinks(nullptr);
    std::vector<std::string> children;
    for (int32_t i = 0; i < links->Count(); ++i) {
        auto entry = links->Item(i)->WorkingEntry();
        children.push_back(std::to_string(entry->Element(1)->ObjectId()) + ": " +
                           std::to_string(entry->Element(0)->ObjectId()));
    }
    return children;
}

class TreeReaderTest : public test::OnBothStorages {};

TEST_P(TreeReaderTest, PagesGiveEveryChildOnceInTheOrderTheLinksWereMade) {
    auto top = db->CreateObject(names::ClassPart, {{names::CN_PART_NUMBER, Value::Text("T-1")}});
    // Parts-tree links and document links (another table) made in turns, so that pages mix both tables.
    for (int i = 0; i < 100; ++i) {
        auto part = db->CreateObject(names::ClassPart, {{names::CN_PART_NUMBER, Value::Text("K-" + std::to_string(i))},
                                                        {"CN_LOCKED", Value::Bool(i == 3)},
                                                        {"USER_OBJECT_ID", Value::Int32(*db->UserId("dora"))}});
        db->CreateLink(names::LinkClassPartsTree, top, part, {{"CN_POSITION", Value::Int32(i)}});
        if (i % 7 == 0) {
            auto document = db->CreateObject(names::ClassDocument, {{names::CN_PART_NUMBER, Value::Text("D")}});
            db->CreateLink(names::LinkClassSpecification, top, document, {});
        }
    }
    const auto expected = PlatformChildren(*db, top);

    TreeReader reader(*db, " - ");
    std::vector<std::string> read;
    std::vector<size_t> pageSizes;
    TreeReader::Page page;
    do {
        page = reader.Below(top, page.lastLink, 64);
        pageSizes.push_back(page.entries.size());
        for (const auto& entry : page.entries)
            read.push_back(std::to_string(entry.link.objectId) + ": " + std::to_string(entry.object.objectId));
    } while (page.more);
    EXPECT_EQ(read, expected);
    EXPECT_EQ(pageSizes, (std::vector<size_t>{64, 51}));

    const auto first = reader.Below(top, 0, 5).entries;
    ASSERT_EQ(first.size(), 5u);
    EXPECT_EQ(first[0].className, "Part");
    EXPECT_EQ(first[0].displayText, "K-0 - ");
    EXPECT_EQ(first[0].linkClassName, "Parts Tree");
    ASSERT_EQ(first[0].linkValues.size(), 1u);
    EXPECT_EQ(first[0].linkValues[0].first, "Position");
    EXPECT_EQ(first[0].linkValues[0].second.AsText(), "0");
    EXPECT_EQ(first[1].className, "Document");
    EXPECT_TRUE(first[1].linkValues.empty());
    EXPECT_FALSE(first[2].locked);
    EXPECT_TRUE(first[4].locked);
    EXPECT_EQ(first[4].lockHolder, *db->UserId("dora"));
}

QUENDRA_ON_BOTH_STORAGES(TreeReaderTest);

} // namespace
} // namespace quendra::embedded
