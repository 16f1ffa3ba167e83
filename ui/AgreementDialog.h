#pragma once

#include "framework/Handles.h"
#include "ui/BusyDialog.h"
#include "ui/ReadToEndEdit.h"

// Second screen of a Setup run: the explanation from "Readme.txt", which must be scrolled to
// its end before the agreeing choice can be picked. OK with that choice starts the set-up and
// the dialog closes by itself once the worker has ended; OK with the refusing choice closes it
// with IDCANCEL.
class AgreementDialog : public BusyDialog {
public:
    explicit AgreementDialog(HWND parent);
    ~AgreementDialog() override;

    // Shows the named text file (fw::ReadTextFile) in the explanation, from the current directory
    // or else from the program's folder; false, with a line that says so in its place, when it
    // can be read from neither.
    bool LoadExplanation(const wchar_t* fileName);

protected:
    void DoDataExchange(fw::DataExchange& exchange) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int notifyCode, int id, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnChoiceClicked();
    void OnShowWindow(WPARAM shown, LPARAM status);
    void OnDestroy();
    void MakeHeadingBold();

    ReadToEndEdit explanationView;
    int choice = -1; // checked radio button of the group at IDC_AGREE: -1 none, 0 agree, 1 not
    fw::UniqueFont headingFont;
    int firstShow = 0;
};
