// ClsUtils: the object services every other class of the component builds on.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "StringList.h"
#include "WindowSystem.h"

#include <cstdint>
#include <string>

namespace quendra {

class ClsUtils {
public:
    explicit ClsUtils(ui::WindowSystem& Windows);

    // How Link2Object ended; callers outside the component learn nothing of it.
    enum class LinkOutcome { Linked, AlreadyLinked, NotParts, Cancelled, Failed };

    // Links Parent (upper end) to Child in the parts tree. Catches every failure.
    // Values: the link attribute values, or nullptr for "no list".
    void Link2Object(const Ptr<CvSession>& Session, const Ptr<CvObject>& Parent, const Ptr<CvObject>& Child,
                     const StringListPtr& LinkAttributes, const StringList* Values, bool ShowDialog);
    // The same, telling the caller how it ended.
    LinkOutcome Link2ObjectWithOutcome(const Ptr<CvSession>& Session, const Ptr<CvObject>& Parent,
                                       const Ptr<CvObject>& Child, const StringListPtr& LinkAttributes,
                                       const StringList* Values, bool ShowDialog);
    Ptr<CvObject> GetLinkFromRecordList(const Ptr<CvSession>& Session, const Ptr<CvRecList>& MyRecordList);

    StringListPtr GetAttributesFromScript(const std::string& ParametersListFromScript);
    StringListPtr CleanLinkAttributes(const Ptr<CvSession>& Session, const StringListPtr& LinkAttributesCollection);
    bool ManageLinkAttributes(const Ptr<CvObject>& LinkObject, const StringListPtr& LinkAttributesCollection);

    void CreateProcess(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj, const std::string& ProcessName);

    void DeleteObject(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj);
    Ptr<CvObject> SearchObject(const Ptr<CvSession>& Session);
    void Refresh_Screen(const Ptr<CvSession>& Session, const Ptr<CvObject>& ObjectToRefresh, int32_t RefreshAction);
    std::string GetUserName(const Ptr<CvSession>& Session, int32_t ObjectID);

    bool MandatoryAttributesAreFilled(const Ptr<CvSession>& Session, const Ptr<CvObject>& ObjectToCheck);

private:
    ui::WindowSystem& windows_;
};

} // namespace quendra
