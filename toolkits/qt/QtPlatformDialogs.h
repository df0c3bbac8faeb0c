// QtPlatformDialogs: the embedded platform's query, result and new-object dialogs as Qt dialogs.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "PlatformDialogs.h"
#include "WindowLog.h"

#include <functional>

class QDialog;

namespace quendra::qt {

class QtPlatformDialogs : public embedded::PlatformDialogs {
public:
    bool RunQueryDialog(const std::vector<std::pair<int16_t, std::string>>& classNames,
                        embedded::SearchQuery& query) override;
    bool RunResultDialog(const std::vector<embedded::SearchCandidate>& found,
                         std::vector<embedded::ObjectKey>& picked) override;
    bool RunNewObjectDialog(const std::string& className, std::vector<embedded::NewObjectField>& fields) override;

protected:
    // Runs a dialog modally, letting the modal hook see it first.
    virtual int RunModal(QDialog& dialog) = 0;
    // Where the dialogs note what they showed and how the person answered.
    virtual WindowLog& Log() = 0;
};

} // namespace quendra::qt
