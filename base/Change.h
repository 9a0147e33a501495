// Setters that act only on a change.
#pragma once

#include <utility>

namespace zelvane {

// Gives `field` the value `value`; true when that changed it.
template <typename T, typename U>
bool SetIfChanged(T& field, U&& value) {
    if (field == value) return false;
    field = std::forward<U>(value);
    return true;
}

}  // namespace zelvane
