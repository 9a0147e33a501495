// The search window TForm4: narrows the process table down by part of a name.
#pragma once

#include "app/BorderlessForm.h"

namespace zelvane {

class TForm1;

class TForm4 : public BorderlessForm {
public:
    explicit TForm4(TForm1& main);

private:
    TForm1& main_;
};

}  // namespace zelvane
