// Names of the data model that the component uses, exactly as the platform spells them. They are texts made
// once, so that the platform's calls take them without making a text each time.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

namespace quendra::names {

inline const std::string Title = "Quendra";

inline const std::string ClassParts = "Parts";
inline const std::string ClassPart = "Part";
inline const std::string ClassDocuments = "Documents";
inline const std::string ClassDocument = "Document";
inline const std::string ClassProjects = "Projects";
inline const std::string ClassFolder = "Folder";
inline const std::string LinkClassPartsTree = "Parts Tree";
inline const std::string LinkClassSpecification = "Specification dependency Link";
inline const std::string ProcessNewPart = "New Part Development";
inline const std::string SequencePartNumber = "Part Number";

inline const std::string CLASS_ID = "CLASS_ID";
inline const std::string OBJECT_ID = "OBJECT_ID";
inline const std::string CLASS_ID1 = "CLASS_ID1";
inline const std::string CLASS_ID2 = "CLASS_ID2";
inline const std::string OBJECT_ID1 = "OBJECT_ID1";
inline const std::string PAR_CLASS_ID = "PAR_CLASS_ID";
inline const std::string PAR_OBJECT_ID = "PAR_OBJECT_ID";
inline const std::string SON_OBJECT_ID = "SON_OBJECT_ID";
inline const std::string CN_PART_NUMBER = "CN_PART_NUMBER";
inline const std::string CN_ISSUED_FROM = "CN_ISSUED_FROM";
inline const std::string CN_LOCKED = "CN_LOCKED";
inline const std::string USER_OBJECT_ID = "USER_OBJECT_ID";
inline const std::string USER_ID_MOD = "USER_ID_MOD";
inline const std::string STATE = "STATE";
inline const std::string CN_STANDARD = "CN_STANDARD";
inline const std::string FILE_TYPE = "FILE_TYPE";
inline const std::string FILE_NAME = "FILE_NAME";
inline const std::string DIRECTORY = "DIRECTORY";
inline const std::string CAD_REF_FILE_NAME = "CAD_REF_FILE_NAME";
inline const std::string CAD_REF_DIRECTORY = "CAD_REF_DIRECTORY";

inline const std::string FlowStore = "CvFlow.CvFlowStore";
inline const std::string GUIServices = "CvGUISrv.CvGUIServices";
inline const std::string CommonGUI = "CvGUISrv.CvCommonGUI";
inline const std::string IntegrationStore = "CvIntegrationTool.CvIntegrationStore";
inline const std::string SessionUtil = "CvUtil.CvSessionUtil";

} // namespace quendra::names
