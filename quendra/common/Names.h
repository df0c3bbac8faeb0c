// Names of the data model that the component uses, exactly as the platform spells them.
#pragma once

namespace quendra::names {

inline constexpr const char* Title = "Quendra";

inline constexpr const char* ClassParts = "Parts";
inline constexpr const char* ClassPart = "Part";
inline constexpr const char* ClassDocuments = "Documents";
inline constexpr const char* ClassDocument = "Document";
inline constexpr const char* ClassProjects = "Projects";
inline constexpr const char* ClassFolder = "Folder";
inline constexpr const char* LinkClassPartsTree = "Parts Tree";
inline constexpr const char* LinkClassSpecification = "Specification dependency Link";
inline constexpr const char* ProcessNewPart = "New Part Development";
inline constexpr const char* SequencePartNumber = "Part Number";

inline constexpr const char* CLASS_ID = "CLASS_ID";
inline constexpr const char* OBJECT_ID = "OBJECT_ID";
inline constexpr const char* CLASS_ID1 = "CLASS_ID1";
inline constexpr const char* CLASS_ID2 = "CLASS_ID2";
inline constexpr const char* OBJECT_ID1 = "OBJECT_ID1";
inline constexpr const char* PAR_CLASS_ID = "PAR_CLASS_ID";
inline constexpr const char* PAR_OBJECT_ID = "PAR_OBJECT_ID";
inline constexpr const char* SON_OBJECT_ID = "SON_OBJECT_ID";
inline constexpr const char* CN_PART_NUMBER = "CN_PART_NUMBER";
inline constexpr const char* CN_ISSUED_FROM = "CN_ISSUED_FROM";
inline constexpr const char* CN_LOCKED = "CN_LOCKED";
inline constexpr const char* USER_OBJECT_ID = "USER_OBJECT_ID";
inline constexpr const char* USER_ID_MOD = "USER_ID_MOD";
inline constexpr const char* STATE = "STATE";
inline constexpr const char* CN_STANDARD = "CN_STANDARD";
inline constexpr const char* FILE_TYPE = "FILE_TYPE";
inline constexpr const char* FILE_NAME = "FILE_NAME";
inline constexpr const char* DIRECTORY = "DIRECTORY";
inline constexpr const char* CAD_REF_FILE_NAME = "CAD_REF_FILE_NAME";
inline constexpr const char* CAD_REF_DIRECTORY = "CAD_REF_DIRECTORY";

inline constexpr const char* FlowStore = "CvFlow.CvFlowStore";
inline constexpr const char* GUIServices = "CvGUISrv.CvGUIServices";
inline constexpr const char* CommonGUI = "CvGUISrv.CvCommonGUI";
inline constexpr const char* IntegrationStore = "CvIntegrationTool.CvIntegrationStore";
inline constexpr const char* SessionUtil = "CvUtil.CvSessionUtil";

} // namespace quendra::names
