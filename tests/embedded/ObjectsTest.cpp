// Objects, records and record lists of the embedded platform on the default model.
// SPDX-License-Identifier: Apache-2.0
#include "OnBothStorages.h"

#include "CvError.h"

namespace quendra::embedded {
namespace {

class ObjectsTest : public test::OnBothStorages {};

TEST_P(ObjectsTest, ObjectByIdCarriesStoredValuesAlsoWhenAskedThroughTheSuperClass) {
    ObjectKey part = Part("P-1", "Part", {{"STATE", Value::Int32(5)}, {"CN_LOCKED", Value::Bool(true)}});
    auto object = store->ObjectById(meta->ClassByName("Parts")->ClassId(), part.objectId);
    EXPECT_EQ(object->ClassId(), part.classId);
    EXPECT_EQ(object->Class()->Name(), "Part");
    auto data = object->Data();
    EXPECT_EQ(data->ValueAsText("CN_PART_NUMBER"), "P-1");
    EXPECT_EQ(data->GetValue("STATE"), Value::Int16(5));
    EXPECT_TRUE(data->ValueAsBool("CN_LOCKED"));
    EXPECT_EQ(data->ValueAsInt32("OBJECT_ID"), part.objectId);
    EXPECT_THROW(store->ObjectById(meta->ClassByName("Documents")->ClassId(), part.objectId), CvError);
    EXPECT_THROW(store->ObjectById(part.classId, part.objectId + 1000), CvError);
}

// A new list is empty, also when the session hands out again one nobody holds any more; a list still held keeps
// its objects.
TEST_P(ObjectsTest, NewObjectListsStartEmptyAndAreNeverShared) {
    ObjectKey key = Part("P-1");
    auto part = store->ObjectById(key.classId, key.objectId);
    auto first = store->NewObjectList();
    first->Add(part);
    auto second = store->NewObjectList();
    EXPECT_EQ(second->Count(), 0);
    second->Add(part);
    second->Add(part);
    EXPECT_EQ(first->Count(), 1);
    second.reset();
    auto third = store->NewObjectList();
    EXPECT_EQ(third->Count(), 0);
    EXPECT_EQ(first->Count(), 1);
}

TEST_P(ObjectsTest, NullsReadAsZeroFalseOrEmptyAndMissingAttributesFail) {
    auto object = Object(Part("P-1"));
    auto data = object->Data();
    EXPECT_EQ(data->ValueAsText("STATE"), "");
    EXPECT_EQ(data->ValueAsInt16("STATE"), 0);
    EXPECT_EQ(data->ValueAsInt32("USER_OBJECT_ID"), 0);
    EXPECT_FALSE(data->ValueAsBool("CN_LOCKED"));
    EXPECT_TRUE(data->GetValue("CN_LOCKED").IsNull());
    EXPECT_THROW(data->ValueAsText("FILE_NAME"), CvError);
    EXPECT_THROW(data->SetValueAsText("FILE_NAME", "x"), CvError);
    EXPECT_TRUE(data->Header()->ContainsColumn("CN_STANDARD"));
    EXPECT_FALSE(data->Header()->ContainsColumn("FILE_NAME"));
}

// Another user's change made after this object was read survives its update.
TEST_P(ObjectsTest, UpdateWritesOnlyTheValuesSetSinceTheObjectWasRead) {
    ObjectKey key = Part("P-1", "Part", {{"CN_DESCRIPTION", Value::Text("Old")}, {"STATE", Value::Int16(5)}});
    auto mine = Object(key);
    test::TestDialogs doraDialogs;
    auto theirStore = db->Login("dora", doraDialogs)->ObjectStore();
    auto theirs = theirStore->ObjectById(key.classId, key.objectId);
    theirs->Data()->SetValueAsText("CN_DESCRIPTION", "Theirs");
    theirs->Data()->SetValueAsInt16("STATE", 6);
    theirs->Update(theirStore->DefaultUpdateOptions());

    mine->Data()->SetValueAsBool("CN_LOCKED", true);
    mine->Data()->SetValueAsInt16("STATE", 5); // the value it read: set all the same
    mine->Update(store->DefaultUpdateOptions());
    EXPECT_EQ(db->ReadValue(key, "CN_DESCRIPTION"), Value::Text("Theirs"));
    EXPECT_EQ(db->ReadValue(key, "STATE"), Value::Int16(5));
    EXPECT_EQ(db->ReadValue(key, "CN_LOCKED"), Value::Bool(true));
    EXPECT_EQ(db->ReadValue(key, "USER_ID_MOD"), Value::Int32(*db->UserId("carl")));

    // A retrieve forgets what was set: the next update writes only the modifier.
    mine->Retrieve();
    theirs->Data()->SetValueAsBool("CN_LOCKED", false);
    theirs->Update(theirStore->DefaultUpdateOptions());
    mine->Update(store->DefaultUpdateOptions());
    EXPECT_EQ(db->ReadValue(key, "CN_LOCKED"), Value::Bool(false));
    EXPECT_EQ(db->ReadValue(key, "USER_ID_MOD"), Value::Int32(*db->UserId("carl")));
}

TEST_P(ObjectsTest, ObjectFromRecordCarriesOnlyTheRecordsColumnsUntilRetrieved) {
    ObjectKey part = Part("P-1", "Part", {{"CN_LOCKED", Value::Bool(true)}});
    auto list = db->MakeRecList({HookRow{HookRow::Kind::Object,
                                         part,
                                         std::vector<std::string>{"CLASS_ID", "OBJECT_ID", "USER_OBJECT_ID"},
                                         {{"CN_STANDARD", Value::Bool(true)}},
                                         "",
                                         {},
                                         {}}});
    auto object = store->ObjectFromRecord(list->RecordAt(0), true)->WorkingObject();
    EXPECT_EQ(object->ObjectId(), part.objectId);
    auto header = object->Data()->Header();
    EXPECT_TRUE(header->ContainsColumn("CN_STANDARD"));
    EXPECT_FALSE(header->ContainsColumn("CN_LOCKED"));
    EXPECT_TRUE(object->Data()->ValueAsBool("CN_STANDARD"));
    object->AddAttributesToRetrieve("CN_LOCKED;USER_OBJECT_ID");
    object->Retrieve();
    EXPECT_TRUE(object->Data()->ValueAsBool("CN_LOCKED"));
    EXPECT_FALSE(object->Data()->ValueAsBool("CN_STANDARD"));
    EXPECT_EQ(object->Data()->ValueAsText("CN_PART_NUMBER"), "P-1");
}

TEST_P(ObjectsTest, RecordListsOfObjectsLinksAndPendingLinks) {
    ObjectKey parent = Part("P-1");
    ObjectKey child = Part("P-2", "Assembly");
    ObjectKey link = db->CreateLink("Parts Tree", parent, child, {{"CN_QUANTITY", Value::Int32(2)}});
    auto list =
        db->MakeRecList({HookRow{HookRow::Kind::Object, parent, std::nullopt, {}, "", {}, {}},
                         HookRow{HookRow::Kind::Link, link, std::nullopt, {}, "", {}, {}},
                         HookRow{HookRow::Kind::PendingLink, {}, std::nullopt, {}, "Parts Tree", child, parent}});
    EXPECT_EQ(list->RowCount(), 3);
    EXPECT_EQ(list->RecordCount(), 3);
    EXPECT_EQ(list->RecordAt(0)->ValueAsText("CN_PART_NUMBER"), "P-1");
    EXPECT_EQ(list->ValueAt(0, 0), Value::Int16(parent.classId));

    EXPECT_EQ(list->ValueAsInt32("OBJECT_ID1", 1), parent.objectId);
    EXPECT_EQ(list->ValueAsInt16("PAR_CLASS_ID", 1), parent.classId);
    auto linkRecord = list->RecordByKey(list->KeyAt(1), 1);
    EXPECT_EQ(linkRecord->ValueAsInt16("CLASS_ID"), link.classId);
    EXPECT_EQ(linkRecord->ValueAsInt32("OBJECT_ID"), link.objectId);
    EXPECT_EQ(linkRecord->ValueAsInt16("CN_QUANTITY"), 2);
    EXPECT_EQ(linkRecord->ValueAsInt32("SON_OBJECT_ID"), child.objectId);

    EXPECT_EQ(list->ValueAsInt32("OBJECT_ID1", 2), child.objectId);
    EXPECT_EQ(list->ValueAsInt16("PAR_CLASS_ID", 2), child.classId);
    EXPECT_THROW(list->RecordByKey(list->KeyAt(1), 2), CvError);
    EXPECT_THROW(list->RecordAt(3), CvError);
    EXPECT_THROW(
        db->MakeRecList({HookRow{HookRow::Kind::Object, parent, std::vector<std::string>{"NOPE"}, {}, "", {}, {}}}),
        EmbeddedError);
}

TEST_P(ObjectsTest, NewObjectIsStoredOnceAndGetsAnId) {
    auto object = store->NewObject(meta->ClassByName("Part")->ClassId());
    object->InitialiseNew();
    object->PrepareNew();
    EXPECT_EQ(object->ObjectId(), 0);
    object->Data()->SetValueAsText("CN_PART_NUMBER", "P-9");
    auto made = store->ObjectFromRecord(object->Data(), true);
    made->Store();
    EXPECT_NE(made->ObjectId(), 0);
    EXPECT_EQ(db->FindObjects("Parts", "CN_PART_NUMBER", "P-9"),
              (std::vector<ObjectKey>{{made->ClassId(), made->ObjectId()}}));
    EXPECT_THROW(made->Insert(store->DefaultUpdateOptions()), CvError);
    ASSERT_EQ(db->Harness().Events().size(), 2u);
    EXPECT_TRUE(std::holds_alternative<events::Insert>(db->Harness().Events()[0]));
    EXPECT_EQ(std::get<events::Error>(db->Harness().Events()[1]).text,
              "the object " + std::to_string(made->ObjectId()) + " is stored already");
}

TEST_P(ObjectsTest, LinksMadeThroughTheObjects) {
    auto parent = Object(Part("P-1"));
    auto child = Object(Part("P-2"));
    int16_t partsTree = meta->LinkClassBetween(parent->ClassId(), child->ClassId());
    EXPECT_EQ(partsTree, db->ClassId("Parts Tree"));
    auto link = parent->NewLink(partsTree, child);
    link->InitialiseNew();
    link->Data()->SetValueAsText("CN_QUANTITY", "3");
    link->Insert(store->DefaultUpdateOptions());
    ObjectKey p{parent->ClassId(), parent->ObjectId()};
    ObjectKey c{child->ClassId(), child->ObjectId()};
    auto found = db->FindLinks("Parts Tree", p, c);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(db->ReadValue(found[0], "CN_QUANTITY"), Value::Int16(3));
    EXPECT_EQ(db->ReadValue(found[0], "CLASS_ID1"), Value::Int16(p.classId));

    auto document = Object(db->CreateObject("Document", {}));
    int16_t dependencyLink = db->ClassId("Specification dependency Link");
    auto documentLink = document->NewLinkTo(dependencyLink, parent);
    documentLink->Insert(store->DefaultUpdateOptions());
    auto byEnds = store->LinkByEnds(dependencyLink, p.classId, p.objectId, document->ClassId(), document->ObjectId());
    ASSERT_NE(byEnds, nullptr);
    EXPECT_EQ(byEnds->ObjectId(), documentLink->ObjectId());
    EXPECT_EQ(store->LinkByEnds(dependencyLink, document->ClassId(), document->ObjectId(), p.classId, p.objectId),
              nullptr);

    document->RemoveLink(0, parent, store->DefaultUpdateOptions());
    EXPECT_EQ(store->LinkByEnds(dependencyLink, p.classId, p.objectId, document->ClassId(), document->ObjectId()),
              nullptr);

    auto folder = Object(db->CreateObject("Folder", {{"FOLDER_NAME", Value::Text("F")}}));
    auto underFolder = document->LinkUnderParent(folder, 0, store->DefaultUpdateOptions());
    EXPECT_EQ(underFolder->ClassId(), db->ClassId("Folder Contents"));
    EXPECT_THROW(parent->LinkUnderParent(folder, 0, store->DefaultUpdateOptions()), CvError);
}

TEST_P(ObjectsTest, DeletingAnObjectRemovesItsLinks) {
    ObjectKey parent = Part("P-1");
    ObjectKey child = Part("P-2");
    db->CreateLink("Parts Tree", parent, child, {});
    Object(child)->Delete(store->DefaultUpdateOptions());
    EXPECT_EQ(db->CountObjects("Part"), 1);
    EXPECT_TRUE(db->FindLinks("Parts Tree", parent, child).empty());
    EXPECT_EQ(Object(parent)->Children(nullptr)->Count(), 0);
}

// Children and tree links of a parent with links in two tables, one child linked twice: each child with its
// own class and stored values, in the order the links were made.
TEST_P(ObjectsTest, ChildrenComeWithTheirStoredValuesInTheOrderTheLinksWereMade) {
    ObjectKey parent = Part("P-1");
    ObjectKey part = Part("P-2", "Part", {{"STATE", Value::Int32(5)}});
    ObjectKey document = db->CreateObject("Document", {{"CN_PART_NUMBER", Value::Text("D-1")}});
    db->CreateLink("Parts Tree", parent, part, {});
    db->CreateLink("Specification dependency Link", parent, document, {});
    db->CreateLink("Parts Tree", parent, part, {});
    const std::vector<std::string> expected = {"Part P-2 5", "Document D-1 ", "Part P-2 5"};
    auto shown = [](const Ptr<CvObject>& child) {
        return child->Class()->Name() + " " + child->Data()->ValueAsText("CN_PART_NUMBER") + " " +
               child->Data()->ValueAsText("STATE");
    };
    std::vector<std::string> children, treeLinks;
    auto objects = Object(parent)->Children(nullptr);
    for (int32_t i = 0; i < objects->Count(); ++i) children.push_back(shown(objects->Item(i)));
    auto links = Object(parent)->TreeLinks(nullptr);
    for (int32_t i = 0; i < links->Count(); ++i) treeLinks.push_back(shown(links->Item(i)->Element(0)));
    EXPECT_EQ(children, expected);
    EXPECT_EQ(treeLinks, expected);
    EXPECT_EQ(Object(part)->Children(nullptr)->Count(), 0);
}

// A call that walks a tree (one transaction, as on a server) reads below what it reached at once; what it writes
// on the way it reads back as written: values, links added and removed, objects deleted.
TEST_P(ObjectsTest, AWalkInOneCallSeesItsOwnWrites) {
    ObjectKey top = Part("P-1");
    ObjectKey middle = Part("P-2");
    ObjectKey left = Part("P-3");
    ObjectKey right = Part("P-4");
    ObjectKey document = db->CreateObject("Document", {{"CN_PART_NUMBER", Value::Text("D-1")}});
    db->CreateLink("Parts Tree", top, middle, {});
    db->CreateLink("Parts Tree", middle, left, {});
    db->CreateLink("Parts Tree", middle, right, {});
    db->CreateLink("Specification dependency Link", left, document, {});
    ObjectKey other = Part("P-6");
    db->CreateLink("Parts Tree", top, other, {});
    db->CreateLink("Parts Tree", other, left, {});
    db->BeginOuterTransaction();
    auto names = [](const Ptr<CvObjects>& objects) {
        std::vector<std::string> shown;
        for (int32_t i = 0; i < objects->Count(); ++i)
            shown.push_back(objects->Item(i)->Data()->ValueAsText("CN_PART_NUMBER") + " " +
                            objects->Item(i)->Data()->ValueAsText("CN_DESCRIPTION"));
        return shown;
    };
    using Names = std::vector<std::string>;
    auto reached = Object(top)->Children(nullptr)->Item(0);
    reached->Retrieve();
    EXPECT_EQ(names(reached->Children(nullptr)), (Names{"P-3 ", "P-4 "}));
    auto below = reached->Children(nullptr);
    EXPECT_EQ(names(below->Item(0)->Children(nullptr)), (Names{"D-1 "}));
    // A part below two objects the call reached, read again with the second one's subtree.
    auto second = Object(top)->Children(nullptr)->Item(1);
    EXPECT_EQ(names(second->Children(nullptr)), (Names{"P-3 "}));
    EXPECT_EQ(names(second->Children(nullptr)->Item(0)->Children(nullptr)), (Names{"D-1 "}));

    auto changed = below->Item(1);
    changed->Data()->SetValueAsText("CN_DESCRIPTION", "changed");
    changed->Update(store->DefaultUpdateOptions());
    EXPECT_EQ(names(reached->Children(nullptr)), (Names{"P-3 ", "P-4 changed"}));
    auto again = Object(right);
    again->Retrieve();
    EXPECT_EQ(again->Data()->ValueAsText("CN_DESCRIPTION"), "changed");

    auto added = Object(Part("P-5"));
    auto link = below->Item(1)->NewLink(db->ClassId("Parts Tree"), added);
    link->Insert(store->DefaultUpdateOptions());
    EXPECT_EQ(names(Object(right)->Children(nullptr)), (Names{"P-5 "}));
    reached->RemoveLink(0, Object(left), store->DefaultUpdateOptions());
    EXPECT_EQ(names(reached->Children(nullptr)), (Names{"P-4 changed"}));
    added->Delete(store->DefaultUpdateOptions());
    EXPECT_EQ(names(Object(right)->Children(nullptr)), Names{});
    db->CommitOuterTransaction();
    EXPECT_EQ(names(Object(middle)->Children(nullptr)), (Names{"P-4 changed"}));
}

TEST_P(ObjectsTest, ReferencedUserThroughTheModifierAttribute) {
    auto object = Object(Part("P-1"));
    object->Update(store->DefaultUpdateOptions());
    auto defs = object->Class()->AttributeDefs();
    auto definition = defs->DefinitionByName("USER_ID_MOD");
    auto reference = definition->Reference();
    ASSERT_NE(reference, nullptr);
    EXPECT_EQ(reference->ReferenceText(), "");
    auto display = reference->DisplayAttributes();
    ASSERT_EQ(display->Count(), 2);
    EXPECT_EQ(display->Item(1)->Name(), "LAST_NAME");
    auto user = object->ReferencedObject(defs->KeyOf(definition));
    ASSERT_NE(user, nullptr);
    user->Retrieve();
    EXPECT_EQ(user->Data()->ValueAsText("FIRST_NAME"), "Carl");
    EXPECT_EQ(defs->DefinitionByName("CN_PART_NUMBER")->Reference(), nullptr);
    EXPECT_THROW(object->ReferencedObject(defs->KeyOf(defs->DefinitionByName("STATE"))), CvError);

    auto unmodified = Object(Part("P-2"));
    EXPECT_EQ(unmodified->ReferencedObject(defs->KeyOf(definition)), nullptr);
}

QUENDRA_ON_BOTH_STORAGES(ObjectsTest);

} // namespace
} // namespace quendra::embedded
