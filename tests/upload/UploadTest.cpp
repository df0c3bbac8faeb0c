// Uploading files from disk as documents: configuration, file types, dialogs and placement.
#include "Application.h"
#include "LowerCase.h"
#include "TestWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace quendra::testing {
namespace {

namespace fs = std::filesystem;

const std::string AllFiles = "open All Files (*.*)|*.*";
const std::string WrongConfiguration =
    "critical/OK: Please Contact your Administrator\r\nUpload Configuration in the Script is wrong";

class UploadTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        folder = fs::temp_directory_path() / ("quendra-upload-" + std::to_string(random()));
        fs::create_directories(folder);
        for (const char* name : {"bracket.dwg", "PART.DWG", "notes.txt", "README", "photo.jpeg", "plan.dwg"})
            std::ofstream(folder / name) << "content of " << name;
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    int16_t Upload(ObjectKey root, const std::string& extensions, const std::string& fileTypes) {
        auto session = world.session;
        auto rows = world.RowOf(root);
        std::string extensionText = extensions;
        std::string fileTypeText = fileTypes;
        return app.UploadDocument(session, rows, extensionText, fileTypeText);
    }
    std::vector<ObjectKey> Documents(const std::string& fileName) {
        return world.db->FindObjects("Document", "FILE_NAME", fileName);
    }

    TestWorld world;
    Application app{world.user};
    fs::path folder;
    ObjectKey part = world.Part("P-1");
};

TEST_F(UploadTest, FilterListsTheConfiguredExtensionsAsWritten) {
    struct Case {
        std::string extensions;
        std::string fileTypes;
        std::string filter;
    };
    const std::vector<Case> cases{
        {"", "", AllFiles},
        {"dwg", "Drawing", "open All Basic Supported Types(*.dwg)|*.dwg|All Files (*.*)|*.*"},
        {" DWG , doc,pdf", "Drawing,Document,Document",
         "open All Basic Supported Types(*.DWG;*.doc;*.pdf)|*.DWG;*.doc;*.pdf|All Files (*.*)|*.*"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extensions);
        world.Answers({Open({})});
        EXPECT_EQ(Upload(part, c.extensions, c.fileTypes), 1);
        world.ExpectScriptPlayed();
        EXPECT_EQ((Texts{c.filter}), world.Shown());
    }
    EXPECT_EQ(world.db->CountObjects("Document"), 0);
}

TEST_F(UploadTest, ListsOfDifferentLengthAreRefusedBeforeAnyDialog) {
    world.Answers({Button("OK")});
    EXPECT_EQ(Upload(part, "dwg,txt", "Drawing"), 1);
    world.ExpectScriptPlayed();
    EXPECT_EQ((Texts{WrongConfiguration}), world.Shown());
}

TEST_F(UploadTest, ConfiguredFileBecomesADocumentWithItsFileAttributes) {
    world.Answers({Open({Path("bracket.dwg")}), Fill({})});
    EXPECT_EQ(Upload(part, "txt,dwg", "Document,Drawing"), 0);
    world.ExpectScriptPlayed();

    auto documents = Documents("bracket.dwg");
    ASSERT_EQ(documents.size(), 1u);
    const std::string directory = folder.string();
    for (auto [attribute, value] :
         std::vector<std::pair<std::string, std::string>>{{"FILE_TYPE", "12"},
                                                          {"FILE_NAME", "bracket.dwg"},
                                                          {"DIRECTORY", directory},
                                                          {"CAD_REF_FILE_NAME", "bracket.dwg"},
                                                          {"CAD_REF_DIRECTORY", directory}})
        EXPECT_EQ(world.Text(documents[0], attribute), value) << attribute;

    auto shown = world.EventsOf(embedded::Event::Kind::Show);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].objects, std::vector<ObjectKey>{documents[0]});
}

TEST_F(UploadTest, FileTypeComesFromTheConfigurationOrFromTheUser) {
    struct Case {
        const char* name;
        std::string file;
        std::string extensions;
        std::string fileTypes;
        std::vector<scripted::Answer> answersAfterOpen;
        Texts shownAfterOpen;
        std::string fileType; // empty: no document
    };
    const auto ask = [](const std::string& extension) {
        return "window Select File Type: This Extension \"" + extension + "\" is unknown.";
    };
    const std::vector<Case> cases{
        {"upper-case configuration", "plan.dwg", "DWG", "Drawing", {Fill({})}, {"platform newObject Document"}, "12"},
        {"upper-case file", "PART.DWG", "dwg", "Drawing", {Fill({})}, {"platform newObject Document"}, "12"},
        {"first occurrence wins",
         "notes.txt",
         "txt,txt",
         "Document,Spreadsheet",
         {Fill({})},
         {"platform newObject Document"},
         "3"},
        {"unknown extension asks",
         "photo.jpeg",
         "dwg",
         "Drawing",
         {Choose("Picture"), Fill({})},
         {ask("jpeg"), "platform newObject Document"},
         "25"},
        {"no extension asks",
         "README",
         "dwg",
         "Drawing",
         {Choose("Model"), Fill({})},
         {ask(""), "platform newObject Document"},
         "1"},
        {"no extension matches an empty one",
         "README",
         "dwg,",
         "Drawing,Spreadsheet",
         {Fill({})},
         {"platform newObject Document"},
         "7"},
        {"wrongly configured type is reported then asked",
         "plan.dwg",
         "DWG",
         "Blueprint",
         {Button("OK"), Choose("Drawing"), Fill({})},
         {"exclamation/OK: Please Contact your Administrator\r\nUpload Configuration in the Script is wrong\r\n"
          "File Type \"Blueprint\" is wrongly defined for the extension \"DWG\"",
          ask("dwg"), "platform newObject Document"},
         "12"},
        {"file type dialog cancelled", "photo.jpeg", "", "", {Choose("Picture", "Cancel")}, {ask("jpeg")}, ""},
        {"nothing chosen", "photo.jpeg", "", "", {Choose(std::nullopt)}, {ask("jpeg")}, ""},
        {"new-object dialog cancelled",
         "plan.dwg",
         "dwg",
         "Drawing",
         {Fill({}, "Cancel")},
         {"platform newObject Document"},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto before = Documents(c.file).size();
        std::vector<scripted::Answer> answers{Open({Path(c.file)})};
        answers.insert(answers.end(), c.answersAfterOpen.begin(), c.answersAfterOpen.end());
        world.Answers(answers);
        EXPECT_EQ(Upload(part, c.extensions, c.fileTypes), c.fileType.empty() ? 1 : 0);
        world.ExpectScriptPlayed();

        auto shown = world.Shown();
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(c.shownAfterOpen, Texts(shown.begin() + 1, shown.end()));
        auto documents = Documents(c.file);
        if (c.fileType.empty()) {
            EXPECT_EQ(documents.size(), before);
        } else {
            ASSERT_EQ(documents.size(), before + 1);
            EXPECT_EQ(world.Text(documents.back(), "FILE_TYPE"), c.fileType);
        }
    }
}

TEST_F(UploadTest, NewObjectDialogReturnsUntilMandatoryAttributesAreFilled) {
    world.Answers({Open({Path("bracket.dwg")}), Fill({{"FILE_NAME", Value::Text("")}}), Button("OK"),
                   Fill({{"FILE_NAME", Value::Text("bracket-a.dwg")}})});
    EXPECT_EQ(Upload(part, "dwg", "Drawing"), 0);
    world.ExpectScriptPlayed();
    EXPECT_EQ(
        (Texts{"open All Basic Supported Types(*.dwg)|*.dwg|All Files (*.*)|*.*", "platform newObject Document",
               "information/OK: Attribute File Name is mandatory to create a document", "platform newObject Document"}),
        world.Shown());
    EXPECT_EQ(Documents("bracket-a.dwg").size(), 1u);
}

TEST_F(UploadTest, PlacementFollowsTheRootObjectsFamily) {
    auto documentRoot = world.db->CreateObject(
        "Document",
        {{"FILE_NAME", Value::Text("assembly.dwg")}, {"FILE_TYPE", Value::Int16(12)}, {names::STATE, Value::Int16(0)}});
    auto project = world.db->CreateObject(
        "Project", {{"PROJECT_NUMBER", Value::Text("PR-1")}, {"CN_DESCRIPTION", Value::Text("Pump")}});
    const std::string question = "question/YesNo: Do you want to place Document '-bracket.dwg' on the CORVANT desktop?";

    // Each case makes the placements it must not use fail, so a wrong one shows in the result.
    const std::vector<std::string> placements{"CvObject.LinkToParent", "CvObject.LinkUnderParent",
                                              "CvObject.AttachToParent"};
    struct Case {
        const char* name;
        ObjectKey root;
        std::vector<scripted::Answer> answersAfterFill;
        Texts shownAfterFill;
        std::string placement; // the one placement operation used, empty: none
        std::string linkClass; // the link the document then hangs under the root by
    };
    const std::vector<Case> cases{
        {"below a document", documentRoot, {}, {}, "CvObject.LinkToParent", "Document Structure"},
        {"on a project's desktop",
         project,
         {Button("Yes")},
         {question},
         "CvObject.LinkUnderParent",
         "Project Documents"},
        {"attached to a project", project, {Button("No")}, {question}, "CvObject.AttachToParent", "Project Documents"},
        {"below a part: not placed", part, {}, {}, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        world.db->Harness().ClearEvents();
        world.db->Harness().ClearFaults();
        for (const auto& placement : placements)
            if (placement != c.placement) world.db->Harness().FailCall(placement, 1);
        std::vector<scripted::Answer> answers{Open({Path("bracket.dwg")}), Fill({})};
        answers.insert(answers.end(), c.answersAfterFill.begin(), c.answersAfterFill.end());
        world.Answers(answers);
        EXPECT_EQ(Upload(c.root, "dwg", "Drawing"), 0);
        world.ExpectScriptPlayed();

        auto shown = world.Shown();
        ASSERT_GE(shown.size(), 2u);
        EXPECT_EQ(c.shownAfterFill, Texts(shown.begin() + 2, shown.end()));
        auto documents = Documents("bracket.dwg");
        ASSERT_FALSE(documents.empty());
        if (!c.linkClass.empty()) {
            EXPECT_EQ(world.db->FindLinks(c.linkClass, c.root, documents.back()).size(), 1u);
        }
        // Only a link the component made itself is redrawn.
        EXPECT_EQ(world.EventsOf(embedded::Event::Kind::Refresh).size(), c.root == documentRoot ? 1u : 0u);
    }
    EXPECT_EQ(world.db->CountObjects("Document"), 5);
}

TEST_F(UploadTest, MultipleSelectionStopsAtTheFirstFailingFile) {
    world.Answers(
        {Open({Path("bracket.dwg"), Path("photo.jpeg"), Path("plan.dwg")}), Fill({}), Choose("Picture", "Cancel")});
    EXPECT_EQ(Upload(part, "dwg", "Drawing"), 1);
    world.ExpectScriptPlayed();
    EXPECT_EQ(Documents("bracket.dwg").size(), 1u);
    EXPECT_TRUE(Documents("photo.jpeg").empty());
    EXPECT_TRUE(Documents("plan.dwg").empty());
}

TEST_F(UploadTest, FileGoneBeforeUploadIsSkippedSilently) {
    fs::remove(folder / "plan.dwg");
    world.Answers({Open({Path("plan.dwg")})});
    EXPECT_EQ(Upload(part, "dwg", "Drawing"), 1);
    world.ExpectScriptPlayed();
    EXPECT_EQ(world.Shown().size(), 1u);

    world.Answers({Open({Path("bracket.dwg"), Path("plan.dwg")}), Fill({})});
    EXPECT_EQ(Upload(part, "dwg", "Drawing"), 1);
    world.ExpectScriptPlayed();
    EXPECT_EQ(world.db->CountObjects("Document"), 1);
}

TEST_F(UploadTest, FailureAfterInsertKeepsTheDocument) {
    world.db->Harness().FailCall("CvSessionUtil.ShowObject", 1);
    world.Answers({Open({Path("bracket.dwg")}), Fill({})});
    EXPECT_EQ(Upload(part, "dwg", "Drawing"), 1);
    world.ExpectScriptPlayed();
    EXPECT_EQ(Documents("bracket.dwg").size(), 1u);
}

// Extensions compare lower-cased letter by letter; bytes that are no UTF-8 stay as they are.
TEST(LowerCaseTest, EveryLetterWithASimpleLowerCaseMappingIsLowered) {
    const std::pair<const char*, const char*> cases[] = {
        {"DWG.Doc9", "dwg.doc9"},
        {"DÄT ÀÞ ×", "dät àþ ×"},        // Latin-1, the multiplication sign is no letter
        {"ĀĲŸ ǄǅǊ", "āĳÿ ǆǆǌ"},          // Latin Extended-A and B, titlecase digraphs too
        {"İ K Å ẞ", "i k å ß"},          // dotted I, Kelvin, Angstrom signs, capital sharp s
        {"ΣΧΔ ΆΏ Ϊ", "σχδ άώ ϊ"},        // Greek: sigma is always medial
        {"МДЛ ЀЏ Ѡ Ӂ", "мдл ѐџ ѡ ӂ"},    // Cyrillic with its extensions
        {"ԱՖ ᲐᲿ Ⴀ", "աֆ აჿ ⴀ"},  // Armenian, Georgian Mtavruli and Asomtavruli
        {"Ꭰ Ᏼ Ⓐ Ａ", "ꭰ ᏼ ⓐ ａ"}, // Cherokee, circled and fullwidth letters
        {"𐐀 𞤀", "𐐨 𞤢"},      // Deseret and Adlam, outside the first plane
        {"ß ǆ ſ 5", "ß ǆ ſ 5"},          // small letters and digits stay
        {"\xC3( \xC0\xAF \x80 \xED\xA0\x80 \xF4\x90\x80\x80",
         "\xC3( \xC0\xAF \x80 \xED\xA0\x80 \xF4\x90\x80\x80"}, // no UTF-8: kept
    };
    for (const auto& [text, lower] : cases) EXPECT_EQ(LowerCase(text), lower) << text;
}

} // namespace
} // namespace quendra::testing
