// The data model (classes, attribute definitions, lookup tables) over automation.
// SPDX-License-Identifier: Apache-2.0
#include "AutomationAdapter.h"

#include <string>

namespace quendra::com {

Ptr<CvClass> Auto<CvMetaInfo>::ClassByName(const std::string& name) {
    return Adapt<CvClass>(Call(CvOperation::CvMetaInfo_ClassByName, {Variant::Text(name)}), Answer::Required);
}

Ptr<CvClass> Auto<CvMetaInfo>::ClassById(int16_t classId) {
    return Adapt<CvClass>(Call(CvOperation::CvMetaInfo_ClassById, {Variant::Int16(classId)}), Answer::Required);
}

int16_t Auto<CvMetaInfo>::LinkClassBetween(int16_t parentClassId, int16_t childClassId) {
    return Call(CvOperation::CvMetaInfo_LinkClassBetween, {Variant::Int16(parentClassId), Variant::Int16(childClassId)})
        .ToValue()
        .AsInt16();
}

int16_t Auto<CvClass>::ClassId() {
    return Call(CvOperation::CvClass_ClassId).ToValue().AsInt16();
}

int16_t Auto<CvClass>::SuperClassId() {
    return Call(CvOperation::CvClass_SuperClassId).ToValue().AsInt16();
}

std::string Auto<CvClass>::Name() {
    return Call(CvOperation::CvClass_Name).ToValue().AsText();
}

std::string Auto<CvClass>::DisplayName() {
    return Call(CvOperation::CvClass_DisplayName).ToValue().AsText();
}

bool Auto<CvClass>::BelongsToClass(int16_t classId) {
    return Call(CvOperation::CvClass_BelongsToClass, {Variant::Int16(classId)}).ToValue().AsBool();
}

bool Auto<CvClass>::IncludesClass(int16_t classId) {
    return Call(CvOperation::CvClass_IncludesClass, {Variant::Int16(classId)}).ToValue().AsBool();
}

bool Auto<CvClass>::HasAttribute(const std::string& name) {
    return Call(CvOperation::CvClass_HasAttribute, {Variant::Text(name)}).ToValue().AsBool();
}

Ptr<CvAttributeDefs> Auto<CvClass>::AttributeDefs() {
    return Adapt<CvAttributeDefs>(Call(CvOperation::CvClass_AttributeDefs), Answer::Required);
}

Ptr<CvClassLinks> Auto<CvClass>::LinkClasses() {
    return Adapt<CvClassLinks>(Call(CvOperation::CvClass_LinkClasses), Answer::Required);
}

Ptr<CvLinkClasses> Auto<CvClassLinks>::LinkClassesTo(int16_t otherClassId) {
    return Adapt<CvLinkClasses>(Call(CvOperation::CvClassLinks_LinkClassesTo, {Variant::Int16(otherClassId)}),
                                Answer::Required);
}

int32_t Auto<CvLinkClasses>::Count() {
    return Call(CvOperation::CvLinkClasses_Count).ToValue().AsInt32();
}

Ptr<CvClass> Auto<CvLinkClasses>::Item(int32_t position) {
    return Adapt<CvClass>(Call(CvOperation::CvLinkClasses_Item, {Variant::Int32(position)}), Answer::Required);
}

Ptr<CvAttributeDef> Auto<CvAttributeDefs>::DefinitionByName(const std::string& name) {
    return Adapt<CvAttributeDef>(Call(CvOperation::CvAttributeDefs_DefinitionByName, {Variant::Text(name)}),
                                 Answer::Required);
}

int32_t Auto<CvAttributeDefs>::Count() {
    return Call(CvOperation::CvAttributeDefs_Count).ToValue().AsInt32();
}

Ptr<CvAttributeDef> Auto<CvAttributeDefs>::Item(int32_t position) {
    return Adapt<CvAttributeDef>(Call(CvOperation::CvAttributeDefs_Item, {Variant::Int32(position)}), Answer::Required);
}

int32_t Auto<CvAttributeDefs>::KeyOf(const Ptr<CvAttributeDef>& definition) {
    return Call(CvOperation::CvAttributeDefs_KeyOf, {Variant::Object(DispatchOf(definition))}).ToValue().AsInt32();
}

std::string Auto<CvAttributeDef>::Name() {
    return Call(CvOperation::CvAttributeDef_Name).ToValue().AsText();
}

std::string Auto<CvAttributeDef>::DisplayName() {
    return Call(CvOperation::CvAttributeDef_DisplayName).ToValue().AsText();
}

int32_t Auto<CvAttributeDef>::TypeCode() {
    return Call(CvOperation::CvAttributeDef_TypeCode).ToValue().AsInt32();
}

bool Auto<CvAttributeDef>::IsMandatory() {
    return Call(CvOperation::CvAttributeDef_IsMandatory).ToValue().AsBool();
}

bool Auto<CvAttributeDef>::IsPrimary(const std::string& name) {
    return Call(CvOperation::CvAttributeDef_IsPrimary, {Variant::Text(name)}).ToValue().AsBool();
}

int32_t Auto<CvAttributeDef>::LookupTableId() {
    return Call(CvOperation::CvAttributeDef_LookupTableId).ToValue().AsInt32();
}

Ptr<CvReference> Auto<CvAttributeDef>::Reference() {
    return Adapt<CvReference>(Call(CvOperation::CvAttributeDef_Reference), Answer::NoneAllowed);
}

std::string Auto<CvReference>::ReferenceText() {
    return Call(CvOperation::CvReference_ReferenceText).ToValue().AsText();
}

Ptr<CvAttributeDefs> Auto<CvReference>::DisplayAttributes() {
    return Adapt<CvAttributeDefs>(Call(CvOperation::CvReference_DisplayAttributes), Answer::Required);
}

int32_t Auto<CvLookupTable>::Count() {
    return Call(CvOperation::CvLookupTable_Count).ToValue().AsInt32();
}

Ptr<CvLookupEntry> Auto<CvLookupTable>::Item(int16_t position) {
    return Adapt<CvLookupEntry>(Call(CvOperation::CvLookupTable_Item, {Variant::Int16(position)}), Answer::Required);
}

Ptr<CvLookupEntry> Auto<CvLookupTable>::ItemByText(const std::string& text) {
    return Adapt<CvLookupEntry>(Call(CvOperation::CvLookupTable_ItemByText, {Variant::Text(text)}),
                                Answer::NoneAllowed);
}

std::string Auto<CvLookupEntry>::Text() {
    return Call(CvOperation::CvLookupEntry_Text).ToValue().AsText();
}

int32_t Auto<CvLookupEntry>::Code() {
    return Call(CvOperation::CvLookupEntry_Code).ToValue().AsInt32();
}

} // namespace quendra::com
