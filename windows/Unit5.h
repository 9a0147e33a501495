// The properties window TForm5: memory counters and file data of one process.
#pragma once

#include "app/BorderlessForm.h"

namespace zelvane {

class TForm1;

class TForm5 : public BorderlessForm {
public:
    explicit TForm5(TForm1& main);

private:
    TForm1& main_;
};

}  // namespace zelvane
