// The about window TForm3: name, version, what the program does, the author.
#pragma once

#include "app/BorderlessForm.h"

namespace zelvane {

class TForm3 : public BorderlessForm {
public:
    TForm3();
};

}  // namespace zelvane
