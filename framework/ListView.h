#pragma once

#include "framework/Control.h"

#include <commctrl.h>
#include <windows.h>

namespace fw {

// A list-view control bound to a dialog's control; its texts are UTF-16. An insert only reads
// the text it is given (pszText is not const only because other messages fill it).
class ListView : public Control {
public:
    // -1 on failure.
    int InsertColumn(int index, int format, const wchar_t* text) const
    {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_TEXT;
        column.fmt = format;
        column.pszText = const_cast<wchar_t*>(text);
        return static_cast<int>(::SendMessageW(GetHwnd(), LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)));
    }
    // False on failure.
    bool SetColumnWidth(int index, int width) const
    {
        return ::SendMessageA(GetHwnd(), LVM_SETCOLUMNWIDTH, index, MAKELPARAM(width, 0)) != 0;
    }
    // Returns the previous extended style.
    DWORD SetExtendedStyle(DWORD mask, DWORD style) const
    {
        return static_cast<DWORD>(::SendMessageA(GetHwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style));
    }
    // Inserts a row with text only; its index, or -1 on failure.
    int InsertItem(int index, const wchar_t* text) const
    {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = const_cast<wchar_t*>(text);
        return static_cast<int>(::SendMessageW(GetHwnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    int GetItemCount() const { return static_cast<int>(::SendMessageA(GetHwnd(), LVM_GETITEMCOUNT, 0, 0)); }
    UINT GetItemState(int index, UINT mask) const
    {
        return static_cast<UINT>(::SendMessageA(GetHwnd(), LVM_GETITEMSTATE, index, mask));
    }
    bool SetItemState(int index, UINT state, UINT mask) const
    {
        LVITEMA item = {};
        item.stateMask = mask;
        item.state = state;
        return ::SendMessageA(GetHwnd(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item)) != 0;
    }
    // The row's state image index: with check boxes 1 unticked, 2 ticked; 0 none.
    int GetStateImage(int index) const { return static_cast<int>((GetItemState(index, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12); }
};

} // namespace fw
