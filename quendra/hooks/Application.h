// Application: the component's one public class, created by the platform's scripts.
//
// A host creates one with the window system that shows the component's windows
// (`quendra::Application app(windows);`), keeps the platform session and the hook's arguments
// in variables of its own and calls one of the eighteen hooks, passing those variables; the
// in/out objects (`FromObj` of CopyTreeFrom, `MyNewPart` of ReplacePartByNewPart) come back
// through them. The object keeps nothing between calls but the text of the failure the last one
// caught, so one instance may serve many calls.
//
// Each hook answers the hook result: 0 the operation goes on, 1 it is refused or failed.
// AddExistingPart, AddMainPart, AddNewPart, LockObject, ReplacePart, ReplacePartByNewPart,
// UnLockObject and UploadDocument catch every failure and then answer 1. The others
// (AfterCheckInDocuments, BeforeAddPartsTreeLink, BeforeCheckOutReleaseDocs,
// BeforeDeleteDocuments, BeforeNewReleaseObj, BeforeUpdate, CopyTreeFrom, DeleteLink,
// LinkUpdate, IsLockedForUpdate) let a failure pass: the platform's CvError (or any other
// exception a helper lets through) leaves the hook, so a host tells a failed call from a
// result of 0 or 1 by catching it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "StringList.h"
#include "WindowSystem.h"

#include <cstdint>
#include <string>

namespace quendra {

class Application {
public:
    // Registration identity of the class.
    static constexpr const char* ProgId = "Quendra.Application";
    static constexpr const char* ClassIdentifier = "{CAA60299-1FFF-497F-82B2-87E1416FD89D}";

    explicit Application(ui::WindowSystem& Windows);

    int16_t AddExistingPart(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn, std::string& LinkAttributes);
    int16_t AddMainPart(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn);
    int16_t AddNewPart(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn, std::string& LinkAttributes);
    int16_t AfterCheckInDocuments(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn);
    int16_t BeforeAddPartsTreeLink(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn);
    int16_t BeforeCheckOutReleaseDocs(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn, std::string& SelectOp);
    int16_t BeforeDeleteDocuments(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn);
    int16_t BeforeNewReleaseObj(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn);
    int16_t BeforeUpdate(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn, std::string& SelectOp);
    int16_t CopyTreeFrom(Ptr<CvSession>& Session, Ptr<CvObject>& Obj, Ptr<CvObject>& FromObj,
                         std::string& LinkAttributes);
    int16_t DeleteLink(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn);
    int16_t LinkUpdate(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn, std::string& LinkAttributes);
    int16_t LockObject(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn);
    int16_t ReplacePart(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn, std::string& LinkAttributes);
    int16_t ReplacePartByNewPart(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn, std::string& LinkAttributes,
                                 Ptr<CvObject>& MyNewPart);
    int16_t UnLockObject(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn);
    int16_t UploadDocument(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn, std::string& Extensions,
                           std::string& FileTypes);
    int16_t IsLockedForUpdate(Ptr<CvSession>& CvSession, Ptr<CvRecList>& RecListIn);

    // The text of the failure the last hook call caught before answering 1, empty when it caught
    // none; taking it empties it. The administrators' log writes it.
    std::string TakeCaughtFailure();

private:
    // Notes the failure being handled in a hook that catches everything; answers 1.
    int16_t Caught();
    // The script's link attribute names, parsed and cleaned against the link class.
    StringListPtr CleanedLinkAttributes(const Ptr<CvSession>& Session, const std::string& LinkAttributes);

    ui::WindowSystem& windows_;
    std::string caught_;
};

} // namespace quendra
