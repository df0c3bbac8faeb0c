// SQL and structured queries over automation.
// SPDX-License-Identifier: Apache-2.0
#include "AutomationAdapter.h"

#include <string>

namespace quendra::com {

void Auto<CvQuery>::SetSqlText(const std::string& sql) {
    Call(CvOperation::CvQuery_SetSqlText, {Variant::Text(sql)});
}

void Auto<CvQuery>::Run() {
    Call(CvOperation::CvQuery_Run);
}

Ptr<CvRecList> Auto<CvQuery>::Result() {
    return Adapt<CvRecList>(Call(CvOperation::CvQuery_Result), Answer::Required);
}

Ptr<CvQuerySpec> Auto<CvQueryDef>::Specification() {
    return Adapt<CvQuerySpec>(Call(CvOperation::CvQueryDef_Specification), Answer::Required);
}

void Auto<CvQueryDef>::Run() {
    Call(CvOperation::CvQueryDef_Run);
}

void Auto<CvQueryDef>::RunWithOptions(const Ptr<CvUpdateOptions>& options) {
    Call(CvOperation::CvQueryDef_RunWithOptions, {Variant::Object(DispatchOf(options))});
}

Ptr<CvRecList> Auto<CvQueryDef>::Result() {
    return Adapt<CvRecList>(Call(CvOperation::CvQueryDef_Result), Answer::Required);
}

int32_t Auto<CvQueryDef>::RowCount() {
    return Call(CvOperation::CvQueryDef_RowCount).ToValue().AsInt32();
}

Ptr<CvQueryClasses> Auto<CvQuerySpec>::Classes() {
    return Adapt<CvQueryClasses>(Call(CvOperation::CvQuerySpec_Classes), Answer::Required);
}

Ptr<CvQueryColumns> Auto<CvQuerySpec>::Columns() {
    return Adapt<CvQueryColumns>(Call(CvOperation::CvQuerySpec_Columns), Answer::Required);
}

Ptr<CvQueryConditions> Auto<CvQuerySpec>::Conditions() {
    return Adapt<CvQueryConditions>(Call(CvOperation::CvQuerySpec_Conditions), Answer::Required);
}

void Auto<CvQueryClasses>::AddClass(int16_t classId, const std::string& alias) {
    Call(CvOperation::CvQueryClasses_AddClass, {Variant::Int16(classId), Variant::Text(alias)});
}

void Auto<CvQueryColumns>::AddColumn(const std::string& attribute, const std::string& alias, int32_t flag) {
    Call(CvOperation::CvQueryColumns_AddColumn, {Variant::Text(attribute), Variant::Text(alias), Variant::Int32(flag)});
}

void Auto<CvQueryConditions>::AddCondition(const std::string& connector, const std::string& attribute,
                                           const std::string& op, const Value& value, int32_t flag,
                                           const std::string& alias) {
    Call(CvOperation::CvQueryConditions_AddCondition,
         {Variant::Text(connector), Variant::Text(attribute), Variant::Text(op), Variant::FromValue(value),
          Variant::Int32(flag), Variant::Text(alias)});
}

} // namespace quendra::com
