// Spare: the object a maker made last, handed out again instead of a new one once nobody else holds it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <memory>

namespace quendra::embedded {

// An object that hands out parts of itself (its lists, its record, its views). A part handed out holds the whole
// object, so whoever holds a part holds the object: the object knows nothing of its holders, and a spare of it
// sees that nobody holds it or any of its parts by its holders alone.
template <typename Whole> class Lends : public std::enable_shared_from_this<Whole> {
public:
    template <typename Part> std::shared_ptr<Part> Lend(Part& part) { return {this->shared_from_this(), &part}; }
};

// Whether `object` is held by its one holder, the one asking (none is held by nobody).
template <typename T> bool HeldAlone(const std::shared_ptr<T>& object) {
    return object.use_count() == 1;
}

// The object a maker made last, kept to be handed out again. Making a list, options, a query or a view anew costs
// the smallest hooks up to a sixth of their instructions, and one kept object of each kind serves them.
template <typename T> class Spare {
public:
    // The kept object when nobody but the spare holds it (nor, for objects that lend, any of its parts); none
    // otherwise.
    T* Unheld() const { return HeldAlone(object_) ? object_.get() : nullptr; }
    // The same when `unshared(object)` also says nobody holds what the object shares with others.
    template <typename Unshared> T* Unheld(Unshared&& unshared) const {
        T* object = Unheld();
        return object && unshared(*object) ? object : nullptr;
    }
    // Keeps `object` to hand out again.
    const std::shared_ptr<T>& Keep(std::shared_ptr<T> object) {
        object_ = std::move(object);
        return object_;
    }
    const std::shared_ptr<T>& Kept() const { return object_; }
    // The kept object, which the spare no longer keeps.
    std::shared_ptr<T> Take() { return std::move(object_); }

private:
    std::shared_ptr<T> object_;
};

} // namespace quendra::embedded
