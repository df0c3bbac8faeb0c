// PlatformDatabase: the embedded platform's Database on any of its storages (an SQLite file or memory, a
// PostgreSQL server).
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Database.h"
#include "Storage.h"

#include <memory>

namespace quendra::embedded {

class PlatformDatabase : public Database {
public:
    explicit PlatformDatabase(std::shared_ptr<Storage> storage) : storage_(std::move(storage)) {}

    Ptr<CvSession> Login(const std::string& login, PlatformDialogs& dialogs) override;
    int32_t AddUser(const std::string& login, bool admin,
                    const std::vector<std::pair<std::string, Value>>& values) override;
    ObjectKey CreateObject(const std::string& className,
                           const std::vector<std::pair<std::string, Value>>& values) override;
    ObjectKey CreateLink(const std::string& linkClassName, ObjectKey parent, ObjectKey child,
                         const std::vector<std::pair<std::string, Value>>& values) override;
    Value ReadValue(ObjectKey key, const std::string& attribute) override;
    std::vector<ObjectKey> FindObjects(const std::string& className, const std::string& attribute,
                                       const std::string& text) override;
    std::vector<ObjectKey> FindLinks(const std::string& linkClassName, ObjectKey parent, ObjectKey child) override;
    int64_t CountObjects(const std::string& className) override;
    std::string ClassName(int16_t classId) override;
    int16_t ClassId(const std::string& className) override;
    std::string DisplayText(ObjectKey key, const std::string& separator) override;
    std::optional<int32_t> UserId(const std::string& login) override;
    std::optional<std::string> ServerLogin() override;
    std::vector<std::pair<int32_t, std::string>> Users() override;
    Ptr<CvRecList> MakeRecList(const std::vector<HookRow>& rows) override;
    embedded::Harness& Harness() override { return *storage_; }
    const embedded::Harness& Harness() const override { return *storage_; }
    void BeginOuterTransaction() override;
    void CommitOuterTransaction() override;
    void RollbackOuterTransaction() override;
    void HoldObjects(const std::vector<ObjectKey>& objects) override;
    void ReadTogether(const std::function<void()>& reads) override;
    // The connection and model behind the platform, for readers that bypass its objects.
    const std::shared_ptr<Storage>& StorageOf() const { return storage_; }

private:
    const ClassInfo& NamedClass(const std::string& name) const;
    RecordData Stored(ObjectKey key);
    void SetValues(RecordData& data, const std::vector<std::pair<std::string, Value>>& values) const;

    std::shared_ptr<Storage> storage_;
};

} // namespace quendra::embedded
