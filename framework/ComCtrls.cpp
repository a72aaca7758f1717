#include "framework/ComCtrls.h"

#include "framework/ActnList.h"
#include "framework/ImgList.h"
#include "framework/SysUtils.h"

#include <commctrl.h>

#include <iterator>

namespace {

constexpr int kRowGap = 4;
constexpr int kEdgeHeight = 2;

}  // namespace

TToolButton::TToolButton(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 23, 22); }

TToolButton::~TToolButton()
{
    if (action_)
        action_->RemoveClient(this);
}

void TToolButton::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.WinClassName = "TToolButton";
}

void TToolButton::SetAction(TAction* action)
{
    if (action_)
        action_->RemoveClient(this);
    action_ = action;
    if (action_)
        action_->AddClient(this, [this] { Invalidate(); });
    Invalidate();
}

int TToolButton::ImageIndex() const { return action_ ? action_->ImageIndex : -1; }
bool TToolButton::Down() const { return action_ && action_->Checked(); }
std::wstring TToolButton::Hint() const { return action_ ? action_->Caption : std::wstring(); }

TImageList* TToolButton::Images() const
{
    const auto* bar = dynamic_cast<const TToolBar*>(Parent());
    return bar ? bar->Images : nullptr;
}

void TToolButton::Click()
{
    if (Style == TToolButtonStyle::tbsSeparator)
        return;
    if (action_)
        action_->Execute();
    else if (OnClick)
        OnClick();
}

void TToolButton::Paint(HDC dc)
{
    RECT r = ClientRect();
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (Style == TToolButtonStyle::tbsSeparator) {
        RECT line{r.right / 2 - 1, r.top + 1, r.right / 2 + 1, r.bottom - 1};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
        return;
    }
    const bool sunken = Down() || (pressed_ && MouseInside());
    if (Down() && !pressed_ && !MouseInside()) {
        // A checked button shows a lighter face, as the platform's toolbars do.
        RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        UniqueBrush light(CreateSolidBrush(GetSysColor(COLOR_3DHILIGHT)));
        FillRect(dc, &inner, light.get());
    }
    if (sunken)
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    else if (MouseInside())
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    TImageList* images = Images();
    const int index = ImageIndex();
    if (!images || index < 0 || index >= images->Count())
        return;
    const int offset = sunken ? 1 : 0;
    const int x = (r.right - images->Width()) / 2 + offset, y = (r.bottom - images->Height()) / 2 + offset;
    if (Enabled())
        images->Draw(dc, x, y, index);
    else
        ImageList_DrawEx(images->Handle(), index, dc, x, y, 0, 0, CLR_NONE, GetSysColor(COLOR_GRAYTEXT),
                         ILD_BLEND50);
}

void TToolButton::MouseDown(TMouseButton button, TShiftState, int, int)
{
    if (button != TMouseButton::mbLeft || Style == TToolButtonStyle::tbsSeparator)
        return;
    pressed_ = true;
    SetCapture(Handle());
    Invalidate();
}

void TToolButton::MouseUp(TMouseButton button, TShiftState, int x, int y)
{
    if (button != TMouseButton::mbLeft || !pressed_)
        return;
    pressed_ = false;
    ReleaseCapture();
    Invalidate();
    const RECT r = ClientRect();
    const POINT p{x, y};
    if (PtInRect(&r, p))
        Click();
}

void TToolButton::MouseEnter() { Invalidate(); }
void TToolButton::MouseLeave() { Invalidate(); }

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 150, 29); }

void TToolBar::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.WinClassName = "TToolBar";
}

TToolButton* TToolBar::AddButton(const std::string& name, TAction* action)
{
    auto* button = Create<TToolButton>();
    button->Name = name;
    button->SetBounds(0, 0, ButtonWidth, ButtonHeight);
    button->SetAction(action);
    AddControl(button, false);
    return button;
}

TToolButton* TToolBar::AddSeparator()
{
    auto* button = Create<TToolButton>();
    button->Style = TToolButtonStyle::tbsSeparator;
    button->SetBounds(0, 0, SeparatorWidth, ButtonHeight);
    AddControl(button, false);
    return button;
}

void TToolBar::AddControl(TWinControl* control, bool wrapAfter)
{
    if (!control->Parent())
        control->SetParent(this);
    entries_.push_back({control, wrapAfter});
}

int TToolBar::RowsHeight() const
{
    int rows = 1;
    for (size_t i = 0; i + 1 < entries_.size(); ++i)
        if (entries_[i].wrapAfter)
            ++rows;
    return rows * (ButtonHeight + kRowGap) + (BottomEdge ? kEdgeHeight : 0);
}

void TToolBar::Arrange()
{
    int x = 0, y = kRowGap / 2;
    for (const Entry& e : entries_) {
        // Controls taller or lower than a button are centred on the row.
        const int h = e.control->Height();
        e.control->SetBounds(x, y + (ButtonHeight - h) / 2, e.control->Width(), h);
        x += e.control->Width();
        if (e.wrapAfter) {
            x = 0;
            y += ButtonHeight + kRowGap;
        }
    }
    SetHeight(RowsHeight());
}

void TToolBar::Resize()
{
    Invalidate();
    TCustomControl::Resize();
}

void TToolBar::Paint(HDC dc)
{
    RECT r = ClientRect();
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (BottomEdge)
        DrawEdge(dc, &r, EDGE_ETCHED, BF_BOTTOM);
}

TToolTips::TToolTips(TComponent* owner) : TComponent(owner) {}

TToolTips::~TToolTips()
{
    if (TipsAlive())
        DestroyWindow(tips_);
}

bool TToolTips::TipsAlive() const
{
    // The tooltip window goes with the window that owns it; the handle may be stale.
    wchar_t name[64] = {};
    return tips_ && IsWindow(tips_) && GetClassNameW(tips_, name, 64) && lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 &&
           GetWindowThreadProcessId(tips_, nullptr) == GetCurrentThreadId();
}

void TToolTips::AddWindow(HWND owner, HWND wnd, const std::wstring& text)
{
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(wnd);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void TToolTips::Register(TWinControl& control, const std::wstring& text)
{
    // A control whose window is not made yet is registered by Rebuild once it is.
    if (!control.HandleAllocated())
        return;
    if (!TipsAlive()) {
        HWND top = GetAncestor(control.Handle(), GA_ROOT);
        tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, top, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        if (!tips_)
            throw EOutOfResources("Cannot create the tooltips window");
    }
    AddWindow(GetParent(control.Handle()), control.Handle(), text);
    // The field of an editable combo box is a window of its own, where the mouse rests.
    for (HWND child = GetWindow(control.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        AddWindow(control.Handle(), child, text);
}

void TToolTips::Add(TWinControl& control, const std::wstring& text)
{
    tools_.emplace_back(&control, text);
    Register(control, tools_.back().second);
}

void TToolTips::Rebuild()
{
    if (TipsAlive())
        DestroyWindow(tips_);
    tips_ = nullptr;
    for (auto& [control, text] : tools_)
        Register(*control, text);
}

std::wstring TToolTips::TextOf(HWND wnd) const
{
    if (!tips_ || !wnd)
        return {};
    wchar_t buffer[256] = {};
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = GetParent(wnd);
    info.uId = reinterpret_cast<UINT_PTR>(wnd);
    info.lpszText = buffer;
    SendMessageW(tips_, TTM_GETTEXTW, static_cast<WPARAM>(std::size(buffer)), reinterpret_cast<LPARAM>(&info));
    return buffer;
}
