#pragma once
// The application: its hidden window, its forms in creation order, the message
// loop and the default error report.

#include "framework/Component.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

class TForm;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Common controls, the hidden application window. Call once before any form.
    void Initialize();
    HWND Handle() const { return handle_; }

    std::wstring Title() const { return title_; }
    void SetTitle(const std::wstring& title);

    bool ShowMainForm = true;
    TForm* MainForm() const { return mainForm_; }

    // Creates a form owned by the application, makes its window and runs its
    // FormCreate. The first form created becomes the main form, for good.
    template <typename T, typename... Args>
    T* CreateForm(Args&&... args)
    {
        return CreateFormPrepared<T>([](T&) {}, std::forward<Args>(args)...);
    }
    // The same, with `prepare` run on the form before its window is made: a place
    // known then is where the window is made, rather than moved to (which moves
    // and sizes all its controls again). A form whose preparation fails is freed.
    template <typename T, typename Prepare, typename... Args>
    T* CreateFormPrepared(Prepare&& prepare, Args&&... args)
    {
        T* form = Create<T>(std::forward<Args>(args)...);
        if (!mainFormChosen_) {
            mainForm_ = form;
            mainFormChosen_ = true;
        }
        InitializeForm(form, [&] { prepare(*form); });
        return form;
    }
    // Frees a form at once (its window included).
    void DestroyForm(TForm* form);
    // Frees every form, newest first, without asking any of them.
    void DestroyForms() { DestroyComponents(); }

    // Every live form, oldest first.
    const std::vector<TForm*>& Forms() const { return forms_; }

    // Runs the message loop until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles every waiting message, then returns.
    void ProcessMessages();
    // Waits for one message (timers included) and handles it.
    void HandleMessage();

    // Shows the error in a message box (or gives it to OnException) and goes on.
    void HandleException(const std::exception& e);
    // The boundary of every callback the platform makes into us: reports the
    // exception being handled (call it only inside a catch block) and never throws,
    // not even when the report itself fails.
    void HandleCurrentException() noexcept;
    std::function<void(const std::exception&)> OnException;

    // Used by TForm.
    void RegisterForm(TForm* form);
    void UnregisterForm(TForm* form);

private:
    void InitializeForm(TForm* form, const std::function<void()>& prepare);
    bool ProcessMessage(MSG& msg);
    bool IsKeyMsg(const MSG& msg);
    void DispatchOne(const MSG& msg);
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT WindowMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    std::wstring title_;
    TForm* mainForm_ = nullptr;
    bool mainFormChosen_ = false;
    std::vector<TForm*> forms_;
    bool terminated_ = false;
};

extern TApplication Application;

// Message posted to a form to free it on the next turn of the loop.
constexpr UINT CM_RELEASE = WM_APP + 0x3F00;
// Makes a form's window again after someone else destroyed it.
constexpr UINT CM_RECREATE = WM_APP + 0x3F01;

// Key-downs the message loop offers first to the window holding the mouse capture
// (an open drop-down); a non-zero answer means it used the key.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
