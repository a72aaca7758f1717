#pragma once
// A note window that shows one web page: a paper whose body is a browser.

#include "framework/ExtCtrls.h"
#include "notes/BrowserHost.h"
#include "notes/Paper.h"

#include <memory>
#include <string>

class TfrmPinBrowser : public TfrmPaper {
public:
    explicit TfrmPinBrowser(TComponent* owner);
    ~TfrmPinBrowser() override;

    TPanel* pnlWebBrowser;
    std::string Url;
    // Made by the window without an owner, and let go before the panel's
    // window, which holds the browser's windows, is destroyed.
    std::unique_ptr<TBrowserHost> Browser;

    void OpenUrl(const std::string& address);
    // The page number in decimal.
    std::string GetSectionName() const override;

protected:
    std::string PositionIniPath() const override;
    void FormCreate() override;
    void FormCloseQuery(bool& canClose) override;
    void KeepScriptsRunning(TBrowserHost* sender, const std::wstring& scriptErrorText, bool& continueScripts);
};
