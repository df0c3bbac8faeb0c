// The session, the user and record lists over automation.
// SPDX-License-Identifier: Apache-2.0
#include "AutomationAdapter.h"

#include <string>

namespace quendra::com {

Ptr<CvObjectStore> Auto<CvSession>::ObjectStore() {
    return Adapt<CvObjectStore>(Call(CvOperation::CvSession_ObjectStore), Answer::Required);
}

Ptr<CvMetaInfo> Auto<CvSession>::MetaInfo() {
    return Adapt<CvMetaInfo>(Call(CvOperation::CvSession_MetaInfo), Answer::Required);
}

Ptr<CvUserInfo> Auto<CvSession>::CurrentUser() {
    return Adapt<CvUserInfo>(Call(CvOperation::CvSession_CurrentUser), Answer::Required);
}

Ptr<CvDispatch> Auto<CvSession>::CreateObject(const std::string& progId) {
    // The five service objects, each viewed as the interface its identifier names.
    DispatchPtr created = Call(CvOperation::CvSession_CreateObject, {Variant::Text(progId)}).Dispatch();
    if (!created) throw CvError("the platform object " + progId + " was not created");
    if (progId == "CvFlow.CvFlowStore") return std::make_shared<Auto<CvFlowStore>>(created);
    if (progId == "CvGUISrv.CvGUIServices") return std::make_shared<Auto<CvGUIServices>>(created);
    if (progId == "CvGUISrv.CvCommonGUI") return std::make_shared<Auto<CvCommonGUI>>(created);
    if (progId == "CvIntegrationTool.CvIntegrationStore") return std::make_shared<Auto<CvIntegrationStore>>(created);
    if (progId == "CvUtil.CvSessionUtil") return std::make_shared<Auto<CvSessionUtil>>(created);
    throw CvError("the platform object " + progId + " is not known to the component");
}

int32_t Auto<CvUserInfo>::UserObjectId() {
    return Call(CvOperation::CvUserInfo_UserObjectId).ToValue().AsInt32();
}

bool Auto<CvUserInfo>::IsAdministrator() {
    return Call(CvOperation::CvUserInfo_IsAdministrator).ToValue().AsBool();
}

Ptr<CvRecord> Auto<CvRecList>::RecordAt(int32_t row) {
    return Adapt<CvRecord>(Call(CvOperation::CvRecList_RecordAt, {Variant::Int32(row)}), Answer::Required);
}

int32_t Auto<CvRecList>::RowCount() {
    return Call(CvOperation::CvRecList_RowCount).ToValue().AsInt32();
}

int32_t Auto<CvRecList>::RecordCount() {
    return Call(CvOperation::CvRecList_RecordCount).ToValue().AsInt32();
}

std::string Auto<CvRecList>::KeyAt(int32_t position) {
    return Call(CvOperation::CvRecList_KeyAt, {Variant::Int32(position)}).ToValue().AsText();
}

Ptr<CvRecord> Auto<CvRecList>::RecordByKey(const std::string& key, int32_t row) {
    return Adapt<CvRecord>(Call(CvOperation::CvRecList_RecordByKey, {Variant::Text(key), Variant::Int32(row)}),
                           Answer::Required);
}

int16_t Auto<CvRecList>::ValueAsInt16(const std::string& column, int32_t row) {
    return Call(CvOperation::CvRecList_ValueAsInt16, {Variant::Text(column), Variant::Int32(row)}).ToValue().AsInt16();
}

int32_t Auto<CvRecList>::ValueAsInt32(const std::string& column, int32_t row) {
    return Call(CvOperation::CvRecList_ValueAsInt32, {Variant::Text(column), Variant::Int32(row)}).ToValue().AsInt32();
}

Value Auto<CvRecList>::ValueAt(int32_t columnPosition, int32_t row) {
    return Call(CvOperation::CvRecList_ValueAt, {Variant::Int32(columnPosition), Variant::Int32(row)}).ToValue();
}

bool Auto<CvRecordHeader>::ContainsColumn(const std::string& name) {
    return Call(CvOperation::CvRecordHeader_ContainsColumn, {Variant::Text(name)}).ToValue().AsBool();
}

std::string Auto<CvRecord>::ValueAsText(const std::string& name) {
    return Call(CvOperation::CvRecord_ValueAsText, {Variant::Text(name)}).ToValue().AsText();
}

int16_t Auto<CvRecord>::ValueAsInt16(const std::string& name) {
    return Call(CvOperation::CvRecord_ValueAsInt16, {Variant::Text(name)}).ToValue().AsInt16();
}

int32_t Auto<CvRecord>::ValueAsInt32(const std::string& name) {
    return Call(CvOperation::CvRecord_ValueAsInt32, {Variant::Text(name)}).ToValue().AsInt32();
}

bool Auto<CvRecord>::ValueAsBool(const std::string& name) {
    return Call(CvOperation::CvRecord_ValueAsBool, {Variant::Text(name)}).ToValue().AsBool();
}

Value Auto<CvRecord>::GetValue(const std::string& name) {
    return Call(CvOperation::CvRecord_GetValue, {Variant::Text(name)}).ToValue();
}

void Auto<CvRecord>::SetValueAsText(const std::string& name, const std::string& value) {
    Call(CvOperation::CvRecord_SetValueAsText, {Variant::Text(name), Variant::Text(value)});
}

void Auto<CvRecord>::SetValueAsInt16(const std::string& name, int16_t value) {
    Call(CvOperation::CvRecord_SetValueAsInt16, {Variant::Text(name), Variant::Int16(value)});
}

void Auto<CvRecord>::SetValueAsInt32(const std::string& name, int32_t value) {
    Call(CvOperation::CvRecord_SetValueAsInt32, {Variant::Text(name), Variant::Int32(value)});
}

void Auto<CvRecord>::SetValueAsDouble(const std::string& name, double value) {
    Call(CvOperation::CvRecord_SetValueAsDouble, {Variant::Text(name), Variant::Double(value)});
}

void Auto<CvRecord>::SetValueAsBool(const std::string& name, bool value) {
    Call(CvOperation::CvRecord_SetValueAsBool, {Variant::Text(name), Variant::Bool(value)});
}

void Auto<CvRecord>::SetValue(const std::string& name, const Value& value) {
    Call(CvOperation::CvRecord_SetValue, {Variant::Text(name), Variant::FromValue(value)});
}

Ptr<CvRecordHeader> Auto<CvRecord>::Header() {
    return Adapt<CvRecordHeader>(Call(CvOperation::CvRecord_Header), Answer::Required);
}

} // namespace quendra::com
