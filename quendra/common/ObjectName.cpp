// How messages name an object.
#include "ObjectName.h"

namespace quendra {

std::string ObjectName(CvObject& object) {
    std::string className = object.Class()->Name();
    return className + " " + object.DisplayText("-");
}

} // namespace quendra
