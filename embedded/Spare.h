// Spare: the object a maker made last, handed out again instead of a new one once nobody else holds it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <memory>

namespace quendra::embedded {

// Who holds a shared object, asked here alone. A maker hands out what it made last again only while nobody outside
// holds it or anything it made and keeps (its lists, its record, its state): otherwise a holder it does not know
// of would see the object emptied under it.
class Holders {
public:
    // Whether `object` has exactly `count` holders (none has none).
    template <typename T> static bool Are(const std::shared_ptr<T>& object, long count) {
        return object.use_count() == count;
    }
    // Whether `object` is none or has one holder only, the one asking.
    template <typename T> static bool AtMostOne(const std::shared_ptr<T>& object) { return object.use_count() <= 1; }
};

// The object a maker made last, kept to be handed out again. Making a list, options, a query or a view anew costs
// the smallest hooks up to a sixth of their instructions, and one kept object of each kind serves them.
template <typename T> class Spare {
public:
    // The kept object when the spare is its one holder; none otherwise.
    T* Unheld() const { return Holders::Are(object_, 1) ? object_.get() : nullptr; }
    // The same when `unshared(object)` also says nobody holds what the object made and keeps.
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
