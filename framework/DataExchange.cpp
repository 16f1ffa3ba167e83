#include "framework/DataExchange.h"

#include "framework/Control.h"

#include <vector>

namespace fw {

HWND DataExchange::Item(int id)
{
    HWND item = dialog ? ::GetDlgItem(dialog, id) : nullptr;
    if (!item) {
        failed = true;
    }
    return item;
}

void DdxText(DataExchange& exchange, int id, std::wstring& value)
{
    HWND item = exchange.Item(id);
    if (!item) {
        return;
    }
    if (!exchange.Saving()) {
        ::SetWindowTextW(item, value.c_str());
        return;
    }
    const int length = ::GetWindowTextLengthW(item);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(item, buffer.data(), static_cast<int>(buffer.size()));
    value = buffer.data();
}

void DdxRadio(DataExchange& exchange, int firstId, int& value)
{
    HWND button = exchange.Item(firstId);
    if (!button) {
        return;
    }
    int index = 0;
    int checked = -1;
    do {
        if (::SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (exchange.Saving()) {
                if (checked == -1 && ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED) {
                    checked = index;
                }
            } else {
                ::SendMessageA(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
        button = ::GetWindow(button, GW_HWNDNEXT);
    } while (button && !(::GetWindowLongA(button, GWL_STYLE) & WS_GROUP));
    if (exchange.Saving()) {
        value = checked;
    }
}

void DdxControl(DataExchange& exchange, int id, Control& control)
{
    HWND item = exchange.Item(id);
    if (item && control.GetHwnd() != item) {
        control.Detach();
        control.Attach(item);
    }
}

} // namespace fw
