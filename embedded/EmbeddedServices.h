// The desktop service objects a session creates: notifier, search dialogs and views, new-object dialog, object display.
#pragma once

#include "CvPlatform.h"
#include "SessionContext.h"

namespace quendra::embedded {

class EmbeddedGUIServices : public CvGUIServices {
public:
    explicit EmbeddedGUIServices(Context context) : context_(std::move(context)) {}
    Ptr<CvGUINotifier> ObjectViewNotifier() override;

private:
    Context context_;
};

class EmbeddedCommonGUI : public CvCommonGUI {
public:
    explicit EmbeddedCommonGUI(Context context) : context_(std::move(context)) {}
    Ptr<CvViewMaker> ViewMaker() override;
    Ptr<CvDialogMaker> DialogMaker() override;
    Ptr<CvDesktopWindow> DesktopWindow() override;

private:
    Context context_;
};

class EmbeddedIntegrationStore : public CvIntegrationStore {
public:
    explicit EmbeddedIntegrationStore(Context context) : context_(std::move(context)) {}
    Ptr<CvNewObjectDialog> NewObjectDialog() override;

private:
    Context context_;
};

class EmbeddedSessionUtil : public CvSessionUtil {
public:
    explicit EmbeddedSessionUtil(Context context) : context_(std::move(context)) {}
    void ShowObject(const Ptr<CvObject>& object, const Ptr<CvObject>& other, bool flag) override;

private:
    Context context_;
};

// The objects the search would offer for that query, in the order they were stored.
std::vector<SearchCandidate> FindCandidates(Storage& storage, const SearchQuery& query);

} // namespace quendra::embedded
