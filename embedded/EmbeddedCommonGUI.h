// EmbeddedCommonGUI: the search view and dialogs, shown through the platform dialogs, and the desktop window.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "SessionContext.h"

#include <vector>

namespace quendra::embedded {

class EmbeddedCommonGUI : public CvCommonGUI {
public:
    explicit EmbeddedCommonGUI(Context context) : context_(std::move(context)) {}
    Ptr<CvViewMaker> ViewMaker() override;
    Ptr<CvDialogMaker> DialogMaker() override;
    Ptr<CvDesktopWindow> DesktopWindow() override;

private:
    Context context_;
    // Made on first use: they hold nothing but the context (each view they make has a state of its own).
    Ptr<CvViewMaker> viewMaker_;
    Ptr<CvDialogMaker> dialogMaker_;
    Ptr<CvDesktopWindow> desktopWindow_;
};

// The objects the search would offer for that query, in the order they were stored; their stored values into
// values when given, one per candidate.
std::vector<SearchCandidate> FindCandidates(Storage& storage, const SearchQuery& query,
                                            std::vector<RecordData>* values = nullptr);
// The same into found, emptied first (its room kept).
void FindCandidates(Storage& storage, const SearchQuery& query, std::vector<SearchCandidate>& found,
                    std::vector<RecordData>* values);

} // namespace quendra::embedded
