#pragma once

#include <string>
#include <windows.h>

namespace fw {

class Control;

// One data exchange between a dialog's controls and its members (Dialog::UpdateData).
// The Ddx helpers move one value in the direction of the exchange; a helper whose control is
// missing marks the exchange failed and changes nothing.
class DataExchange {
public:
    DataExchange(HWND dialog, bool save) : dialog(dialog), save(save) {}

    // True: from the controls into the members.
    bool Saving() const { return save; }
    bool Failed() const { return failed; }
    // The dialog's control with that id; null (and the exchange failed) when there is none.
    HWND Item(int id);

private:
    HWND dialog;
    bool save;
    bool failed = false;
};

// The control's window text and value.
void DdxText(DataExchange& exchange, int id, std::wstring& value);
// The radio group that starts at firstId (up to the next control with WS_GROUP) and the
// index of its checked button; -1 for none: saving reads -1 when none is checked, loading
// -1 unchecks them all.
void DdxRadio(DataExchange& exchange, int firstId, int& value);
// Binds control to the dialog's control with that id at the first exchange.
void DdxControl(DataExchange& exchange, int id, Control& control);

} // namespace fw
