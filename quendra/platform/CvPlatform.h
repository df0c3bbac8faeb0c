// The platform interfaces the component reaches the PDM platform through.
//
// Every operation may fail; a failure throws CvError. "None" is an empty pointer and
// is answered only by the operations documented to answer it (SequenceByName,
// LinkByEnds, ItemByText, Reference, ReferencedObject). Positions in platform lists
// and record-list rows count from 0.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "AttributeType.h"
#include "CvError.h"
#include "Value.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace quendra {

#define QUENDRA_INTERFACE(Interface, ...) class Interface;
#include "CvPlatform.def"

template <typename T> using Ptr = std::shared_ptr<T>;

// Base of the service objects that a session creates by programmatic identifier.
class CvDispatch {
public:
    virtual ~CvDispatch() = default;
};

// The interfaces, each operation a pure virtual member (CvPlatform.def lists them with their
// comments).
#define QUENDRA_INTERFACE(Interface, ...)                                                                              \
    class Interface __VA_OPT__( : public __VA_ARGS__) {                                                                \
    public:                                                                                                            \
        virtual ~Interface() = default;
#define QUENDRA_OPERATION(Interface, Name, Result, Parameters) virtual Result Name Parameters = 0;
#define QUENDRA_END(Interface)                                                                                         \
    }                                                                                                                  \
    ;
#include "CvPlatform.def"

// Creates a service object and views it as the interface the caller expects.
template <typename T> Ptr<T> CreateAs(CvSession& session, const std::string& progId) {
    auto created = std::dynamic_pointer_cast<T>(session.CreateObject(progId));
    if (!created) throw CvError("the platform object " + progId + " cannot be created");
    return created;
}

} // namespace quendra
