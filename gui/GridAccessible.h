// The grid as a screen reader reads it: a table whose children are the header
// row and the data rows, each row an object of its own (bound to its
// process, see base/AccessibleModel) with its cells as children. The grid
// tells readers about changes from StringGrid::Refresh.
#pragma once

#include <oleacc.h>

namespace zelvane {

class StringGrid;

// The grid's client object (one reference, the caller's).
IAccessible* NewGridAccessible(StringGrid& grid);

}  // namespace zelvane
