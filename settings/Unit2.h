// The settings dialog TForm2: colours, font, intervals and autorun.
#pragma once

#include "gui/Form.h"

namespace zelvane {

class TForm1;

class TForm2 : public Form {
public:
    explicit TForm2(TForm1& main);

protected:
    bool CloseQuery() override;
    void OnKeyUp(WORD key, ShiftState shift) override;

private:
    TForm1& main_;
};

}  // namespace zelvane
