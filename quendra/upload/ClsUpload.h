// ClsUpload: files picked in the open-file dialog become documents.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "StringList.h"
#include "WindowSystem.h"

#include <cstdint>
#include <string>

namespace quendra {

class ClsUpload {
public:
    explicit ClsUpload(ui::WindowSystem& Windows);

    bool ShowOpenDialogBox(const Ptr<CvSession>& Session, const Ptr<CvObject>& RootObject,
                           const StringListPtr& Extensions, const StringListPtr& FileTypes);

private:
    bool UploadFile(const Ptr<CvSession>& Session, const Ptr<CvObject>& RootObject, const std::string& FileName,
                    const std::string& Directory, const StringListPtr& Extensions, const StringListPtr& FileTypes);
    int16_t GetFileTypeFromScript(const Ptr<CvLookupTable>& LookupTable, const std::string& Extension,
                                  const StringListPtr& Extensions, const StringListPtr& FileTypes);
    int16_t AskFileType(const Ptr<CvLookupTable>& LookupTable, const std::string& Extension);

    ui::WindowSystem& windows_;
};

} // namespace quendra
