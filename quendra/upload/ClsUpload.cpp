// ClsUpload: files picked in the open-file dialog become documents placed under the selected object.
// SPDX-License-Identifier: Apache-2.0
#include "ClsUpload.h"

#include "ClsForm.h"
#include "ClsUtils.h"
#include "FilePath.h"
#include "FrmShowOpenDialog.h"
#include "LowerCase.h"
#include "MessageBox.h"
#include "Names.h"

#include <filesystem>
#include <limits>
#include <system_error>

namespace quendra {

namespace {

// Explorer-style dialog, multiple selection, read-only check box hidden.
constexpr int32_t OpenFlags = 524804;
constexpr int16_t NoFileType = -2;

const char* const WrongConfiguration =
    "Please Contact your Administrator\r\nUpload Configuration in the Script is wrong";

// A regular file (or a link to one) exists at that path; folders do not count.
bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(PathFromText(path), error);
}

// The text after the last dot of a file name, empty when there is none.
std::string ExtensionOf(const std::string& fileName) {
    auto dot = fileName.rfind('.');
    return dot == std::string::npos ? std::string() : fileName.substr(dot + 1);
}

// Narrows a code to 16 bits; a code that does not fit is a failure.
int16_t ToInt16(int32_t value) {
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        throw CvError("the code " + std::to_string(value) + " does not fit in 16 bits");
    return static_cast<int16_t>(value);
}

std::vector<std::string> SplitAtNul(const std::string& text) {
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    for (;;) {
        auto nul = text.find('\0', start);
        pieces.push_back(text.substr(start, nul == std::string::npos ? std::string::npos : nul - start));
        if (nul == std::string::npos) return pieces;
        start = nul + 1;
    }
}

} // namespace

ClsUpload::ClsUpload(ui::WindowSystem& Windows) : windows_(Windows) {}

bool ClsUpload::ShowOpenDialogBox(const Ptr<CvSession>& Session, const Ptr<CvObject>& RootObject,
                                  const StringListPtr& Extensions, const StringListPtr& FileTypes) {
    try {
        const auto& extensions = Items(Extensions);
        if (extensions.size() != Items(FileTypes).size()) {
            ShowOk(windows_, WrongConfiguration, ui::Icon::Critical);
            return false;
        }

        std::string fileName;
        {
            FrmShowOpenDialog form(windows_);
            auto& dialog = form.CommonDialog1();

            std::string patterns;
            for (const auto& extension : extensions) {
                if (!patterns.empty()) patterns += ";";
                patterns += "*." + extension;
            }
            if (patterns.empty())
                dialog.SetFilter("All Files (*.*)|*.*");
            else
                dialog.SetFilter("All Basic Supported Types(" + patterns + ")|" + patterns + "|All Files (*.*)|*.*");
            dialog.SetFlags(OpenFlags);
            dialog.ShowOpen();
            fileName = dialog.FileName();
        }
        if (fileName.empty()) return false;

        auto pieces = SplitAtNul(fileName);
        if (pieces.size() == 1) {
            if (!FileExists(fileName)) return false;
            auto path = PathFromText(fileName);
            return UploadFile(Session, RootObject, TextFromPath(path.filename()), TextFromPath(path.parent_path()),
                              Extensions, FileTypes);
        }

        // A multiple selection: the folder, then the names in it.
        const std::string& folder = pieces[0];
        for (std::size_t i = 1; i < pieces.size(); ++i) {
            // Documents made before a failing file stay.
            if (!UploadFile(Session, RootObject, pieces[i], folder, Extensions, FileTypes)) return false;
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool ClsUpload::UploadFile(const Ptr<CvSession>& Session, const Ptr<CvObject>& RootObject, const std::string& FileName,
                           const std::string& Directory, const StringListPtr& Extensions,
                           const StringListPtr& FileTypes) {
    try {
        if (!FileExists(Directory + "/" + FileName)) return false;

        auto store = Session->ObjectStore();
        auto options = store->DefaultUpdateOptions()->Copy();
        options->SetSecondSwitch(false);
        options->SetMode(2);
        options->SetFirstSwitch(false);

        auto meta = Session->MetaInfo();
        auto document = store->NewObject(meta->ClassByName(names::ClassDocument)->ClassId());
        document->InitialiseNew();
        document->PrepareNew();

        auto fileTypeDef = document->Class()->AttributeDefs()->DefinitionByName(names::FILE_TYPE);
        auto lookupTable = store->LookupTable(ToInt16(fileTypeDef->LookupTableId()));

        const std::string extension = LowerCase(ExtensionOf(FileName));
        int16_t fileType = GetFileTypeFromScript(lookupTable, extension, Extensions, FileTypes);
        if (fileType < 0) {
            fileType = AskFileType(lookupTable, extension);
            if (fileType < 0) return false;
        }

        auto data = document->Data();
        data->SetValueAsText(names::FILE_TYPE, std::to_string(fileType));
        data->SetValueAsText(names::FILE_NAME, FileName);
        data->SetValueAsText(names::DIRECTORY, Directory);
        data->SetValueAsText(names::CAD_REF_FILE_NAME, FileName);
        data->SetValueAsText(names::CAD_REF_DIRECTORY, Directory);

        auto integration = CreateAs<CvIntegrationStore>(*Session, names::IntegrationStore);
        ClsUtils utils(windows_);
        Ptr<CvObject> edited;
        do {
            edited = document;
            bool accepted = false;
            integration->NewObjectDialog()->Show(edited, document, false, accepted);
            if (!accepted) return false;
        } while (!utils.MandatoryAttributesAreFilled(Session, edited));

        edited->Insert(options);

        auto rootClass = RootObject->Class();
        int16_t rootSuperClassId = rootClass->SuperClassId();
        if (rootSuperClassId == meta->ClassByName(names::ClassDocuments)->ClassId()) {
            int16_t linkClassId = meta->LinkClassBetween(rootClass->ClassId(), edited->Class()->ClassId());
            auto link = edited->LinkToParent(linkClassId, RootObject, nullptr, options);
            utils.Refresh_Screen(Session, link, 0);
        } else if (rootSuperClassId == meta->ClassByName(names::ClassProjects)->ClassId()) {
            std::string question = "Do you want to place " + edited->Class()->DisplayName() + " '" +
                                   edited->DisplayText("-") + "' on the CORVANT desktop?";
            if (AskYesNo(windows_, question))
                edited->LinkUnderParent(RootObject, 0, options);
            else
                edited->AttachToParent(0, RootObject, nullptr, options);
        }

        auto sessionUtil = CreateAs<CvSessionUtil>(*Session, names::SessionUtil);
        sessionUtil->ShowObject(edited, nullptr, true);
        return true;
    } catch (...) {
        // A document inserted before the failure stays in place.
        return false;
    }
}

int16_t ClsUpload::GetFileTypeFromScript(const Ptr<CvLookupTable>& LookupTable, const std::string& Extension,
                                         const StringListPtr& Extensions, const StringListPtr& FileTypes) {
    try {
        const auto& extensions = Items(Extensions);
        const auto& fileTypes = Items(FileTypes);
        if (extensions.size() != fileTypes.size()) {
            ShowOk(windows_, WrongConfiguration, ui::Icon::Critical);
            return NoFileType;
        }
        for (std::size_t i = 0; i < extensions.size(); ++i) {
            if (LowerCase(extensions[i]) != Extension) continue;
            auto entry = LookupTable->ItemByText(fileTypes[i]);
            if (!entry) {
                ShowOk(windows_,
                       std::string(WrongConfiguration) + "\r\nFile Type \"" + fileTypes[i] +
                           "\" is wrongly defined for the extension \"" + extensions[i] + "\"",
                       ui::Icon::Exclamation);
                return NoFileType;
            }
            return ToInt16(entry->Code());
        }
        return NoFileType;
    } catch (...) {
        return NoFileType;
    }
}

int16_t ClsUpload::AskFileType(const Ptr<CvLookupTable>& LookupTable, const std::string& Extension) {
    try {
        ClsForm form(windows_);
        return ToInt16(form.ShowFileType(LookupTable, Extension));
    } catch (...) {
        return NoFileType;
    }
}

} // namespace quendra
