#include "notes/PinBrowser.h"

#include "shell/EProjectInc.h"

// Where a page without a stored position opens; the frame gives the size.
constexpr int kDesignLeft = 650, kDesignTop = 264;

TfrmPinBrowser::TfrmPinBrowser(TComponent* owner) : TfrmPaper(owner)
{
    SetBounds(kDesignLeft, kDesignTop, Width(), Height());
    pnlWebBrowser = Create<TPanel>();
    pnlWebBrowser->Name = "pnlWebBrowser";
    pnlWebBrowser->SetParent(this);
}

TfrmPinBrowser::~TfrmPinBrowser() { Browser.reset(); }

void TfrmPinBrowser::FormCreate()
{
    TfrmPaper::FormCreate();
    pnlWebBrowser->SetAlign(TAlign::alClient);

    Browser = std::make_unique<TBrowserHost>(nullptr);
    Browser->SetRegisterAsBrowser(true);
    Browser->SetParent(pnlWebBrowser);
    Browser->SetAlign(TAlign::alClient);
    Browser->SetBrowserVisible(true);
    Browser->Loaded();

    Browser->SetHostFlags(DOCHOSTUIFLAG_FLAT_SCROLLBAR | DOCHOSTUIFLAG_ENABLE_FORMS_AUTOCOMPLETE |
                          DOCHOSTUIFLAG_THEME);
    Browser->OnPageScriptError = [this](TBrowserHost* sender, const std::wstring& text, bool& continueScripts) {
        KeepScriptsRunning(sender, text, continueScripts);
    };
}

std::string TfrmPinBrowser::PositionIniPath() const { return PrjInfo->PinBrowserIniFileName(); }

std::string TfrmPinBrowser::GetSectionName() const { return std::to_string(Tag); }

void TfrmPinBrowser::OpenUrl(const std::string& address)
{
    Url = address;
    Browser->NavigateTo(Url);
}

void TfrmPinBrowser::FormCloseQuery(bool& canClose)
{
    TfrmPaper::FormCloseQuery(canClose);
    Browser->ShowBlankPage();
}

void TfrmPinBrowser::KeepScriptsRunning(TBrowserHost*, const std::wstring&, bool& continueScripts)
{
    continueScripts = true;
}
