#include "ui/AgreementDialog.h"

#include "framework/DataExchange.h"
#include "framework/ProgramFolder.h"
#include "framework/StringTable.h"
#include "framework/TextFile.h"
#include "res/resource.h"

#include <string>

namespace {

constexpr wchar_t ExplanationFile[] = L"Readme.txt";

} // namespace

AgreementDialog::AgreementDialog(HWND parent) : BusyDialog(IDD_AGREEMENT, parent) {}

AgreementDialog::~AgreementDialog() = default;

void AgreementDialog::DoDataExchange(fw::DataExchange& exchange)
{
    BusyDialog::DoDataExchange(exchange);
    fw::DdxControl(exchange, IDC_EXPLANATION, explanationView);
    fw::DdxRadio(exchange, IDC_AGREE, choice);
}

BOOL AgreementDialog::OnInitDialog()
{
    BusyDialog::OnInitDialog();
    ::EnableWindow(GetItem(IDOK), FALSE);
    ::EnableWindow(GetItem(IDC_AGREE), FALSE);
    // Without an explanation there is no end to read to: agree then stays disabled for good.
    if (LoadExplanation(ExplanationFile)) {
        explanationView.SetEnableTarget(IDC_AGREE);
    }
    firstShow = 1;
    MakeHeadingBold();
    UpdateData(false);
    return TRUE;
}

bool AgreementDialog::LoadExplanation(const wchar_t* fileName)
{
    // The current directory first, as ever; then beside the program, where the file ships, for
    // a program started elsewhere (a script run as administrator starts in the system folder).
    std::wstring text;
    std::wstring folder;
    const bool read = fw::ReadTextFile(fileName, text) ||
                      (fw::GetProgramFolder(folder) && fw::ReadTextFile((folder + fileName).c_str(), text));
    if (!read) {
        text = fw::LoadText(IDS_NO_EXPLANATION);
    }
    ::SetWindowTextW(GetItem(IDC_EXPLANATION), text.c_str());
    return read;
}

void AgreementDialog::MakeHeadingBold()
{
    HWND heading = GetItem(IDC_HEADING);
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(heading, WM_GETFONT, 0, 0));
    // Wide, so that the face name ("ＭＳ Ｐゴシック") does not pass through the system's code page.
    LOGFONTW description = {};
    if (!font || ::GetObjectW(font, sizeof(description), &description) != sizeof(description)) {
        return;
    }
    description.lfWeight = FW_BOLD;
    headingFont.reset(::CreateFontIndirectW(&description));
    if (headingFont) {
        ::SendMessageA(heading, WM_SETFONT, reinterpret_cast<WPARAM>(headingFont.get()), FALSE);
    }
}

bool AgreementDialog::OnCommand(int notifyCode, int id, HWND control)
{
    if (notifyCode == BN_CLICKED && (id == IDC_AGREE || id == IDC_DISAGREE)) {
        OnChoiceClicked();
        return true;
    }
    return BusyDialog::OnCommand(notifyCode, id, control);
}

void AgreementDialog::OnChoiceClicked()
{
    UpdateData(true);
    if (choice != -1) {
        ::EnableWindow(GetItem(IDOK), TRUE);
    }
}

void AgreementDialog::OnOK()
{
    // Once the set-up was requested, neither a second start nor an end may follow from here.
    if (HasStarted()) {
        return;
    }
    UpdateData(true);
    if (choice == 0) {
        StartSetup();
    } else {
        EndDialog(IDCANCEL);
    }
}

bool AgreementDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_SHOWWINDOW:
        OnShowWindow(wParam, lParam);
        result = 0;
        return true;
    case WM_DESTROY:
        OnDestroy();
        result = 0;
        return true;
    default:
        return BusyDialog::OnMessage(message, wParam, lParam, result);
    }
}

void AgreementDialog::OnShowWindow(WPARAM shown, LPARAM status)
{
    DefaultHandling(WM_SHOWWINDOW, shown, status);
    if (!shown || firstShow != 1) {
        return;
    }
    explanationView.SetSel(0, 0);
    explanationView.ScrollCaret();
    firstShow = 0;
    HWND disagree = GetItem(IDC_DISAGREE);
    ::SetWindowLongA(disagree, GWL_STYLE, ::GetWindowLongA(disagree, GWL_STYLE) | WS_TABSTOP);
}

void AgreementDialog::OnDestroy()
{
    DefaultHandling(WM_DESTROY, 0, 0);
    headingFont.reset();
}
