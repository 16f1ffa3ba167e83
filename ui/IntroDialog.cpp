#include "ui/IntroDialog.h"

#include "framework/DataExchange.h"
#include "framework/StringTable.h"
#include "res/resource.h"

IntroDialog::IntroDialog(HWND parent) : BusyDialog(IDD_INTRO, parent) {}

IntroDialog::~IntroDialog() = default;

void IntroDialog::DoDataExchange(fw::DataExchange& exchange)
{
    BusyDialog::DoDataExchange(exchange);
    fw::DdxText(exchange, IDC_PORT_TEXT, portText);
}

BOOL IntroDialog::OnInitDialog()
{
    BusyDialog::OnInitDialog();
    config = &task->GetPortConfig();
    int32_t port = 0;
    config->GetPortNumber(port);
    portText = fw::FormatText(IDS_PORT_SENTENCE, {port});
    UpdateData(false);
    return TRUE;
}

bool IntroDialog::OnCommand(int notifyCode, int id, HWND control)
{
    if (notifyCode == BN_CLICKED && id == IDC_NEXT) {
        OnNext();
        return true;
    }
    return BusyDialog::OnCommand(notifyCode, id, control);
}

void IntroDialog::OnNext()
{
    EndDialog(IDOK);
}
