// The adapters from automation objects to the platform interfaces, one per interface, made from
// CvPlatform.def: every operation calls the automation member of its name (values cross as variants:
// VT_I2, VT_I4, VT_BSTR, VT_BOOL, VT_R8, VT_DATE, VT_EMPTY for none). The operations' bodies are in
// one file per group of interfaces (AutomationSession.cpp, AutomationObjects.cpp, ...).
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Automation.h"
#include "AutomationNames.h"
#include "CvError.h"
#include "CvOperation.h"
#include "CvPlatform.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quendra::com {

// What every adapter holds: the automation object, called by the automation names of the operations.
class AutomationObject {
public:
    explicit AutomationObject(DispatchPtr object) : object_(std::move(object)) {}
    virtual ~AutomationObject() = default;
    const DispatchPtr& Dispatch() const { return object_; }

protected:
    Variant Call(CvOperation operation, std::vector<Variant> arguments = {}) const {
        const CvOperationName& name = NameOf(operation);
        return CallByName(object_.Get(), std::string(AutomationName(operation)), arguments,
                          std::string(name.interfaceName) + ": " + std::string(name.member));
    }

private:
    DispatchPtr object_;
};

// The automation object behind an adapter; an empty pointer for none, CvError for an object that did not
// come from automation.
template <typename T> DispatchPtr DispatchOf(const Ptr<T>& object) {
    if (!object) return {};
    auto* automation = dynamic_cast<const AutomationObject*>(object.get());
    if (!automation) throw CvError("an object that did not come from the platform cannot be passed to it");
    return automation->Dispatch();
}

// The adapter of interface T.
template <typename T> class Auto;

#define QUENDRA_INTERFACE(Interface, ...)                                                                              \
    template <> class Auto<Interface> final : public Interface, public AutomationObject {                              \
    public:                                                                                                            \
        using AutomationObject::AutomationObject;
#define QUENDRA_OPERATION(Interface, Name, Result, Parameters) Result Name Parameters override;
#define QUENDRA_END(Interface)                                                                                         \
    }                                                                                                                  \
    ;
#include "CvPlatform.def"

enum class Answer { Required, NoneAllowed };

// The platform's answer as the interface the component expects; none only where it may be.
template <typename T> Ptr<T> Adapt(const Variant& answer, Answer mode) {
    DispatchPtr object = answer.Dispatch();
    if (!object) {
        if (mode == Answer::NoneAllowed) return nullptr;
        throw CvError("the platform answered nothing where an object was expected");
    }
    return std::make_shared<Auto<T>>(std::move(object));
}

} // namespace quendra::com
