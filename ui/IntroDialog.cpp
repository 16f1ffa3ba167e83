#include "ui/IntroDialog.h"

#include "framework/DataExchange.h"
#include "res/resource.h"

#include <cstdio>

namespace {

// "Tessaly ドライバ配信 監視プログラムが通信を行うために使用するUDP %d ポートを開きます。"
// in code page 932; the source file is UTF-8.
constexpr char PortSentenceFormat[] =
    "Tessaly \x83\x68\x83\x89\x83\x43\x83\x6f\x94\x7a\x90\x4d \x8a\xc4\x8e\x8b\x83\x76\x83\x8d\x83\x4f\x83\x89"
    "\x83\x80\x82\xaa\x92\xca\x90\x4d\x82\xf0\x8d\x73\x82\xa4\x82\xbd\x82\xdf\x82\xc9\x8e\x67\x97\x70\x82\xb7"
    "\x82\xe9UDP %d \x83\x7c\x81\x5b\x83\x67\x82\xf0\x8a\x4a\x82\xab\x82\xdc\x82\xb7\x81\x42";

} // namespace

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
    char sentence[sizeof(PortSentenceFormat) + 16];
    std::snprintf(sentence, sizeof(sentence), PortSentenceFormat, static_cast<int>(port));
    portText = sentence;
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
