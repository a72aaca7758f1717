// The wastebasket and configuration windows, which the tray controller shows
// modally while its icon and hot keys keep working.
#include "shell/main.h"

#include "config/Configure.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/ScopedValue.h"
#include "framework/SysUtils.h"
#include "notes/PinBrowserList.h"
#include "shell/EProjectInc.h"
#include "wastebasket/basket.h"

namespace {

// Registers the hot keys again however the configuration window ends, an error
// included: without them the program can only be reached through its icon. Not
// when "Close" was chosen meanwhile: the program is ending then.
class HotKeysBack {
public:
    explicit HotKeysBack(TfrmMain& tray) : tray_(tray) {}
    ~HotKeysBack()
    {
        if (!done_)
            Register();
    }
    HotKeysBack(const HotKeysBack&) = delete;
    HotKeysBack& operator=(const HotKeysBack&) = delete;
    std::vector<TRefusedHotKey> Register()
    {
        done_ = true;
        if (Application.Terminated())
            return {};
        return tray_.RegisterHotKeys();
    }

private:
    TfrmMain& tray_;
    bool done_ = false;
};

// A window shown modally and destroyed when that ends, also by an error.
template <typename Form>
class ModalWindow {
public:
    ModalWindow() : form_(Application.CreateForm<Form>()) {}
    ~ModalWindow() { Application.DestroyForm(form_); }
    ModalWindow(const ModalWindow&) = delete;
    ModalWindow& operator=(const ModalWindow&) = delete;
    Form* operator->() const { return form_; }
    Form* get() const { return form_; }

private:
    Form* form_;
};

} // namespace

void TfrmMain::mnBasketClick()
{
    if (frmBasket) {
        SetForegroundWindow(frmBasket->Handle());
        return;
    }
    ModalWindow<TfrmBasket> basket;
    const ScopedValue<TfrmBasket*> open(frmBasket, basket.get());
    basket->OnMemoRestored = [this](int number, int) { OpenRestoredMemo(number); };
    basket->ShowModal();
}

void TfrmMain::mnConfigurationClick()
{
    UnregisterHotKeys();
    HotKeysBack hotKeys(*this);
    bool ok = false;
    {
        ModalWindow<TfrmConfigure> configure;
        ok = configure->ShowModal() == mrOk;
        if (ok)
            ReloadPinBrowsers();
    }
    const std::vector<TRefusedHotKey> refused = hotKeys.Register();
    if (ok && !refused.empty())
        ShowMessageBox(nullptr, AnsiToWide(HotKeyFailureText(refused)), PrjInfo->Title(), MB_OK | MB_ICONWARNING);
}
