// Application: the component's one public class, created by the platform's scripts.
//
// A host creates it with the window system that shows the component's windows and calls
// one of the eighteen hooks. Each answers the hook result: 0 the operation goes on, 1 it
// is refused or failed. Hooks that do not catch failures let the platform's CvError pass
// to the host, which can therefore always tell a failed call from a result of 0 or 1.
#pragma once

#include "CvPlatform.h"
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

private:
    ui::WindowSystem& windows_;
};

} // namespace quendra
