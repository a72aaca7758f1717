#pragma once
// A memo window in a fresh program folder, and a hand for the dialogs it shows.

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/ImgList.h"
#include "notes/MemoImages.h"
#include "notes/MemoStore.h"
#include "notes/PostIt.h"
#include "tests/TestSupport.h"

#include <algorithm>
#include <functional>
#include <string>

// What a modal dialog showed before the test answered it.
struct SeenDialog {
    std::string Caption, Text;
    int DefaultButton = 0;
    bool QuestionIcon = false;
};

// Answers the one next platform dialog (a message box) of this thread with the button
// `answer`, remembering what it showed; for the input dialog, `edit` runs first.
class DialogAnswerer {
public:
    explicit DialogAnswerer(int answer, std::function<void(TInputQueryForm&)> edit = {});
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;
    int Count() const { return count_; }
    const SeenDialog& Last() const { return last_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) noexcept;
    void Poll();
    int answer_;
    std::function<void(TInputQueryForm&)> edit_;
    UINT_PTR timer_ = 0;
    int count_ = 0;
    SeenDialog last_;
};

struct Memo {
    TestProgram program;
    TComponent imageOwner{nullptr};
    TImageList* images = CreateMemoImages(&imageOwner);
    TfrmPostIt* form;

    explicit Memo(int number = 1) : form(Application.CreateForm<TfrmPostIt>(images)) { form->Tag = number; }
    ~Memo()
    {
        if (Alive())
            Application.DestroyForm(form);
    }
    TfrmPostIt* operator->() const { return form; }
    bool Alive() const
    {
        const auto& forms = Application.Forms();
        return std::find(forms.begin(), forms.end(), form) != forms.end();
    }
    std::string Ini() const { return ReadWholeFile(PrjInfo->PostItIniFileName()); }
    // Types text at the caret as the keyboard would.
    void Type(const std::string& text) const
    {
        for (char c : text)
            SendMessageA(form->edtMemo->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    }
};
