#pragma once
// The configuration window: the two global hot keys, the start with Windows and
// the addresses of the pinned pages. It reads everything when it is made and
// writes everything when OK is pressed; its close button leaves all as it was.

#include "config/HotKeySettings.h"
#include "framework/ExtCtrls.h"
#include "framework/Grids.h"
#include "framework/HotKey.h"
#include "framework/Labels.h"
#include "framework/StdCtrls.h"
#include "notes/zkGrayDialog.h"

class TIniFile;

// Where "Marlo Home" goes.
extern const char kProgramHomePage[];

class TfrmConfigure : public TfrmZkGrayDialog {
public:
    explicit TfrmConfigure(TComponent* owner);

    TPanel* pnlBody;
    TButton* btnOK;
    TCheckBox* chkAutoStart;
    THotKey* hkNewMemo;
    THotKey* hkShowHide;
    TStringGrid* grdUrls;
    TStaticText* StaticText1;
    TStaticText* StaticText3;
    TBevel* Bevel1;
    TLabel* Label8;
    TLabel* Label9;
    TLabel* labHomeUrl;

    void btnOKClick();
    void Label8Click();
    void labHomeUrlClick();
    void labHomeUrlMouseEnter(TLabel* sender);
    void labHomeUrlMouseLeave(TLabel* sender);

protected:
    void FormCreate() override;
    void FormShow() override;

private:
    void FitTexts();
    void SetUpGrid();
    void LoadUrls(const TIniFile& ini);
    THotKey* FieldOf(int hotKeyId) const;
    void SaveAutoStart();
    void SaveUrls(TIniFile& ini);
    TLabel* CreateLinkLabel(int left, const wchar_t* caption);
};
