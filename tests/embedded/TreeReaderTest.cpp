// Reading a tree a page at a time gives what the platform's tree links give, across link tables and pages. What
// each entry says is what `quendra tree` prints (docs/commands.md, on a server docs/server.md) and the desktop shows.
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
        auto part =
            db->CreateObject(names::ClassPart, {{names::CN_PART_NUMBER, Value::Text("K-" + std::to_string(i))}});
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
}

QUENDRA_ON_BOTH_STORAGES(TreeReaderTest);

} // namespace
} // namespace quendra::embedded
