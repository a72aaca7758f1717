#pragma once
// Memos written by our own editor, for the tests that read them back: text typed in
// as the user types it (any language, whatever the system's code page), with fonts
// and styles over ranges of it.

#include "controls/RichMemo.h"
#include "framework/Forms.h"

#include <string>

class EditorMemo {
public:
    EditorMemo();
    ~EditorMemo();
    EditorMemo(const EditorMemo&) = delete;
    EditorMemo& operator=(const EditorMemo&) = delete;

    // Inserts at the caret; "\r" starts a paragraph.
    EditorMemo& Type(const std::wstring& text);
    EditorMemo& Font(int start, int end, const char* face, BYTE charset, TFontStyles style = 0);
    // What the editor shows, paragraph marks as '\n'.
    std::wstring Shown() const;
    std::string Rtf() const;
    void SaveTo(const std::string& path) const;
    TRichMemo& Memo() const { return *memo_; }

private:
    TForm* form_;
    TRichMemo* memo_;
};
