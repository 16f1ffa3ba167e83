#include "framework/DataExchange.h"

#include "framework/Control.h"
#include "framework/ProgramText.h"

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

void DdxText(DataExchange& exchange, int id, std::string& value)
{
    HWND item = exchange.Item(id);
    if (!item) {
        return;
    }
    if (!exchange.Saving()) {
        SetText(item, value);
        return;
    }
    const int length = ::GetWindowTextLengthW(item);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(item, buffer.data(), static_cast<int>(buffer.size()));
    FromWide(buffer.data(), value);
}

bool SetText(HWND window, const std::string& text)
{
    std::wstring wide;
    return ToWide(text.c_str(), wide) && ::SetWindowTextW(window, wide.c_str());
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
