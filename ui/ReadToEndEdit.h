#pragma once

#include "framework/Edit.h"
#include "framework/Handles.h"

#include <windows.h>

// A read-only multi-line edit that enables one sibling control once the user has scrolled it
// to the end of its text, and paints in the window colours (not the grey of a read-only edit),
// following changes of the system colours. The focus arriving selects nothing and leaves the
// view where the reader left it.
class ReadToEndEdit : public fw::Edit {
public:
    ReadToEndEdit();
    ~ReadToEndEdit() override;

    // Id of the control, in the same dialog, to enable at the end of the text; 0 for none.
    void SetEnableTarget(int id) { enableTargetId = id; }

    bool OnReflectedCommand(int notifyCode) override;
    HBRUSH OnReflectedCtlColor(HDC dc, UINT message) override;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The control's own processing of a scroll bar, wheel or view key message: when the view
    // moved during it, the end counts once the processing is done.
    LRESULT ScrollAsTheUser(UINT message, WPARAM wParam, LPARAM lParam);
    void OnScrollNotify();
    void OnVScroll(UINT code, UINT position);
    void OnSysColorChange();
    void EnableTargetIfAtEnd(UINT position);

    int enableTargetId = 0;
    int userScrolling = 0;        // depth of the user's scroll messages being processed
    bool userScrolled = false;    // the view moved during them
    COLORREF textColor;
    COLORREF backColor;
    fw::UniqueBrush backBrush;
};
