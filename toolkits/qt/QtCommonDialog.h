// QtCommonDialog: the open-file dialog as a Qt file dialog.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "WindowLog.h"
#include "WindowSystem.h"

#include <functional>
#include <string>

class QDialog;
#include <QStringList>

namespace quendra::qt {

class QtCommonDialog : public ui::CommonDialog {
public:
    // The dialog and the files picked are noted in log.
    QtCommonDialog(std::function<int(QDialog&)> runModal, WindowLog& log);
    void SetFilter(const std::string& filter) override;
    void SetFlags(int32_t flags) override;
    void ShowOpen() override;
    std::string FileName() const override;

    // "Text|*.a;*.b|…" as Qt's name filters, "Text (*.a *.b)", shown with the details hidden as "Text".
    static QStringList NameFilters(const std::string& filter);
    // One path as it is; several as the folder, character 0 and the names.
    static std::string JoinFileNames(const QStringList& paths);

private:
    std::function<int(QDialog&)> runModal_;
    WindowLog& log_;
    std::string filter_;
    int32_t flags_ = 0;
    std::string fileName_;
};

} // namespace quendra::qt
