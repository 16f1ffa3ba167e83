#pragma once

#include "framework/Control.h"

#include <windows.h>

namespace fw {

// An edit control bound to a dialog's control.
class Edit : public Control {
public:
    void SetSel(int start, int end) const { ::SendMessageA(GetHwnd(), EM_SETSEL, start, end); }
    void ScrollCaret() const { ::SendMessageA(GetHwnd(), EM_SCROLLCARET, 0, 0); }
};

} // namespace fw
