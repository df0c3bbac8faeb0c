// World: a scenario's users, objects, links and files made on a database, and its refs resolved.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Scenario.h"
#include "Selector.h"
#include "TempFolder.h"

#include "Database.h"
#include "PlatformDialogs.h"
#include "ScriptedUser.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quendra::playback {

class World {
public:
    // `file` names the scenario in errors; `dialogs` answers the session that reads the data model.
    World(embedded::Database& database, embedded::PlatformDialogs& dialogs, std::string file);

    // Makes the files, users, objects and links; a mistake throws FileError.
    void Build(const Scenario& scenario);

    struct Target {
        embedded::ObjectKey key;
        bool isLink = false;
    };
    // What a ref names now; a ref naming nothing or several objects throws FileError at `path`.
    Target Resolve(const std::string& ref, const std::string& path) const;
    // The same without throwing: nullopt and the reason.
    std::optional<Target> TryResolve(const std::string& ref, std::string& why) const;

    // A value read in the type of that attribute of that class.
    Value Convert(const std::string& className, const std::string& attribute, const WrittenValue& value) const;
    std::vector<std::pair<std::string, Value>> ConvertAll(const std::string& className, const ValueMap& values) const;
    // A value read by its own JSON kind, where no attribute type is known.
    Value ConvertByKind(const WrittenValue& value) const;

    // storedLink: the hook works on stored links, so a link row by class, parent and child names the one
    // stored link between the two; else it is a link about to be made.
    embedded::HookRow MakeRow(const RowArg& row, bool storedLink = false) const;
    answering::Answer MakeAnswer(const ScenarioAnswer& answer) const;
    Ptr<CvObject> MakeObject(CvSession& session, const ObjectArg& arg) const;

    // The login of the first user the scenario gives, else the one set here (the model's first).
    std::string DefaultUser() const { return defaultUser_; }
    void SetDefaultUser(const std::string& login) { defaultUser_ = login; }
    // Where "open" answers and {"file": path} values look for files, when not in a fresh folder.
    void SetFilesFolder(const std::string& folder) { filesFolder_ = folder; }
    // A ref name for an object, or Class#id.
    std::string Name(const embedded::ObjectKey& key) const;
    std::string FilesFolder() const { return folder_ ? folder_->Path() : filesFolder_; }
    embedded::Database& Database() const { return database_; }
    const std::string& File() const { return file_; }

private:
    Ptr<CvSession> MetaSession() const;
    int32_t TypeCode(const std::string& className, const std::string& attribute, const std::string& path) const;
    // The class of that name, or null when the model has none.
    Ptr<CvClass> FindClass(const std::string& className) const;
    bool IsLinkClass(const std::string& className) const;
    void RequireClass(const std::string& className, const std::string& path) const;
    // The stored links a selector of a link class names: by parent=, child= (a ref, or the end's first
    // display value such as its number), id= and link values by name or display name, joined by commas.
    std::vector<embedded::ObjectKey> FindLinks(const Selector& selector) const;
    bool EndMatches(embedded::ObjectKey end, const std::string& text) const;
    // Throws std::invalid_argument when the attribute holds numbers and the text is none, which would match
    // nothing whatever is stored.
    void CheckNumberText(const std::string& className, const std::string& attribute, const std::string& name,
                         const std::string& text) const;
    [[noreturn]] void Fail(const std::string& path, const std::string& message) const;

    embedded::Database& database_;
    embedded::PlatformDialogs& dialogs_;
    std::string file_;
    std::unique_ptr<TempFolder> folder_;
    std::string filesFolder_;
    std::string defaultUser_;
    std::map<std::string, Target> named_;
    std::map<std::pair<int16_t, int32_t>, std::string> names_;
    mutable Ptr<CvSession> metaSession_;
    mutable std::map<std::pair<std::string, std::string>, int32_t> typeCodes_;
    mutable std::map<std::string, bool> linkClasses_;
};

} // namespace quendra::playback
