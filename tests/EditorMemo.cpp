#include "tests/EditorMemo.h"

#include "framework/Application.h"
#include "framework/Streams.h"

EditorMemo::EditorMemo() : form_(Application.CreateForm<TForm>())
{
    form_->SetClientSize(300, 200);
    memo_ = form_->Create<TRichMemo>();
    memo_->SetParent(form_);
    memo_->SetBounds(0, 0, 300, 200);
}

EditorMemo::~EditorMemo() { Application.DestroyForm(form_); }

EditorMemo& EditorMemo::Type(const std::wstring& text)
{
    SETTEXTEX how{ST_SELECTION, 1200};
    memo_->Perform(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.c_str()));
    return *this;
}

EditorMemo& EditorMemo::Font(int start, int end, const char* face, BYTE charset, TFontStyles style)
{
    memo_->SelectRange(start, end, false);
    memo_->SelectionFormat().SetName(face);
    memo_->SelectionFormat().SetCharset(charset);
    memo_->SelectionFormat().SetStyle(style);
    memo_->SelectRange(0x7FFFFFF, 0x7FFFFFF, false);
    return *this;
}

std::wstring EditorMemo::Shown() const
{
    std::wstring text(1 << 16, L'\0');
    GETTEXTEX how{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
    const LRESULT n = memo_->Perform(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(n));
    for (wchar_t& c : text)
        if (c == L'\r')
            c = L'\n';
    return text;
}

std::string EditorMemo::Rtf() const
{
    TMemoryStream out;
    memo_->Lines().SaveToStream(out);
    return out.DataString();
}

void EditorMemo::SaveTo(const std::string& path) const { memo_->Lines().SaveToFile(path); }
