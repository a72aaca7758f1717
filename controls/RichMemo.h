#pragma once
// The rich text editor: the platform's RichEdit control behind one object, with a
// line list that loads and saves RTF (plain text as the fallback on load),
// character and paragraph formats, link clicks and embedded objects, and content
// that survives every re-creation of the control window.

#include "framework/Controls.h"
#include "framework/Streams.h"

#include <windows.h>
#include <richedit.h>
#include <richole.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCustomRichMemo;

// The editor's version for this process, loading the library the first time anyone
// asks: 3 with RICHED20.DLL (every Windows the program runs on is of the NT family,
// version 5 or later), 1 when it could not be loaded.
BYTE EditorVersion();

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TBorderStyle { bsNone, bsSingle };

enum class TStreamFormat { sfDefault, sfRichText, sfPlainText };
enum TStreamModeBits : unsigned { smSelection = 1, smPlainRtf = 2, smNoObjects = 4, smUnicode = 8 };
using TStreamMode = unsigned;

// The bits are those of the platform's IMF_ options, one for one.
enum TRichLangOption : unsigned {
    rlAutoKeyboard = IMF_AUTOKEYBOARD,
    rlAutoFont = IMF_AUTOFONT,
    rlImeCancelComplete = IMF_IMECANCELCOMPLETE,
    rlImeAlwaysSendNotify = IMF_IMEALWAYSSENDNOTIFY,
};
using TRichLangOptions = unsigned;

enum class TParaAlignment { paLeft, paRight, paCenter, paJustify };
// Paragraph numbering kinds; the program only switches between these two.
constexpr int nsNone = 0;
constexpr int nsBullet = PFN_BULLET;

// Moves bytes between a stream and the editor unchanged; a descendant could convert.
class TConversion {
public:
    virtual ~TConversion() = default;
    // Up to size bytes into the buffer; their number (0 at the end).
    virtual int ConvertReadStream(TStream& stream, char* buffer, int size);
    // Writes all bytes or raises EStreamError; their number.
    virtual int ConvertWriteStream(TStream& stream, const char* buffer, int size);
};

enum class TAttributeType { atDefaultText, atSelected, atWord };

class TRichTextAttributes {
public:
    TRichTextAttributes(TCustomRichMemo& editor, TAttributeType type) : editor_(editor), type_(type) {}
    TRichTextAttributes(const TRichTextAttributes&) = delete;
    TRichTextAttributes& operator=(const TRichTextAttributes&) = delete;

    std::string Name() const;
    void SetName(const std::string& name);
    // Points, from the platform's twips.
    int Size() const;
    void SetSize(int points);
    // clWindowText stands for the automatic colour, both ways.
    TColor Color() const;
    void SetColor(TColor color);
    // Setting it replaces all four effects at once.
    TFontStyles Style() const;
    void SetStyle(TFontStyles style);
    BYTE Charset() const;
    void SetCharset(BYTE charset);
    // Read only: no window of the program sets it.
    TFontPitch Pitch() const;

    // The whole font in one record: face, size, style, colour, character set, weight.
    void Assign(const TFont& font);
    void Assign(const TRichTextAttributes& source);
    void AssignTo(TFont& font) const;

private:
    WPARAM Scope() const;
    CHARFORMAT2A Record() const;
    void Apply(CHARFORMAT2A& format);

    TCustomRichMemo& editor_;
    TAttributeType type_;
};

class TRichParaAttributes {
public:
    explicit TRichParaAttributes(TCustomRichMemo& editor) : editor_(editor) {}
    TRichParaAttributes(const TRichParaAttributes&) = delete;
    TRichParaAttributes& operator=(const TRichParaAttributes&) = delete;

    TParaAlignment ParaAlignment() const;
    void SetParaAlignment(TParaAlignment alignment);
    // nsNone, nsBullet or another numbering kind of the platform.
    int BulletStyle() const;
    // Bullets need room: a hanging indent of at least 10 points comes with them.
    void SetBulletStyle(int style);
    // Points.
    int IndentStart() const;
    void SetIndentStart(int points);
    int IndentRight() const;
    void SetIndentRight(int points);
    int IndentOffset() const;
    void SetIndentOffset(int points);

private:
    PARAFORMAT2 Record() const;
    void Apply(PARAFORMAT2& format);

    TCustomRichMemo& editor_;
};

// The editor's text as lines (display lines: with word wrap, a long paragraph is
// several), and its whole content as a stream or file.
class TRichEditStrings {
public:
    explicit TRichEditStrings(TCustomRichMemo& editor) : editor_(editor) {}
    TRichEditStrings(const TRichEditStrings&) = delete;
    TRichEditStrings& operator=(const TRichEditStrings&) = delete;

    // Lines longer than this come back cut.
    static constexpr int MaxLineLength = 4096;

    int Count() const;
    std::string Get(int index) const;
    std::string operator[](int index) const { return Get(index); }
    void Put(int index, const std::string& text);
    void Insert(int index, const std::string& text);
    void Add(const std::string& text) { Insert(Count(), text); }
    void AddStrings(const std::vector<std::string>& lines);
    void Delete(int index);
    void Clear();
    std::string Text() const;
    void SetText(const std::string& text);
    std::vector<std::string> ToVector() const;
    void BeginUpdate();
    void EndUpdate();

    // Rich text first; what cannot be read so is read again as plain text.
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);
    // Both leave StreamFormat at sfRichText.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    TStreamFormat StreamFormat = TStreamFormat::sfDefault;
    TStreamMode StreamMode = 0;
    // Used for every load and save when set; otherwise a TConversion each time.
    std::unique_ptr<TConversion> Converter;

private:
    int FormatFlags() const;
    // Gives letters that the system's code page holds only approximately ("ż" as
    // "z" under 1252) the character set of a code page that holds them exactly, so
    // that rich text writes them as they are and not as their look-alikes.
    void KeepForeignLetters();
    // Where line `index` starts, or -1 when there is no such line.
    LRESULT LineStart(int index) const;
    LRESULT LineLengthAt(LRESULT start) const;
    TCustomRichMemo& editor_;
    int updateCount_ = 0;
    bool redrawOff_ = false;
};

// The clipboard format a paste or a drop brings into the editor, given the one the
// platform asks about (0: the best there is) and what the data offers: rich text,
// text or a static picture; 0 refuses everything else (embedded and linked objects,
// packages, controls, files).
CLIPFORMAT AcceptedPasteFormat(CLIPFORMAT requested, const std::function<bool(CLIPFORMAT)>& offered);

// What the editor answers the platform about embedded objects. Only static pictures
// get in: pasted, dropped or read from a document, any other object is refused and
// never made (rich text is brought in by the callback itself, without its objects).
// In-place activation is not offered.
// The editor owns the object; the platform's references only count.
class TRichEditOleCallback : public IRichEditOleCallback {
public:
    // The editor that rich text is brought into; without one, rich text is refused.
    explicit TRichEditOleCallback(TCustomRichMemo* editor = nullptr) : editor_(editor) {}
    TRichEditOleCallback(const TRichEditOleCallback&) = delete;
    TRichEditOleCallback& operator=(const TRichEditOleCallback&) = delete;
    virtual ~TRichEditOleCallback() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) noexcept override;
    STDMETHODIMP_(ULONG) AddRef() noexcept override;
    STDMETHODIMP_(ULONG) Release() noexcept override;
    STDMETHODIMP GetNewStorage(LPSTORAGE* storage) noexcept override;
    STDMETHODIMP GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* doc,
                                   LPOLEINPLACEFRAMEINFO frameInfo) noexcept override;
    STDMETHODIMP ShowContainerUI(BOOL show) noexcept override;
    STDMETHODIMP QueryInsertObject(LPCLSID clsid, LPSTORAGE storage, LONG cp) noexcept override;
    STDMETHODIMP DeleteObject(LPOLEOBJECT object) noexcept override;
    STDMETHODIMP QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT* format, DWORD reco, BOOL really,
                                 HGLOBAL metaPict) noexcept override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) noexcept override;
    STDMETHODIMP GetClipboardData(CHARRANGE* range, DWORD reco, LPDATAOBJECT* data) noexcept override;
    STDMETHODIMP GetDragDropEffect(BOOL drag, DWORD keyState, LPDWORD effect) noexcept override;
    STDMETHODIMP GetContextMenu(WORD selType, LPOLEOBJECT object, CHARRANGE* range,
                                HMENU* menu) noexcept override;

    ULONG RefCount() const { return refCount_; }

private:
    TCustomRichMemo* editor_;
    ULONG refCount_ = 0;
};

// The link's text as the editor shows it, every character kept: an address may hold
// letters the system's code page lacks.
using TRichEditURLClickEvent = std::function<void(TCustomRichMemo& sender, const std::wstring& URLText,
                                                  TMouseButton Button)>;
using TRichEditProtectChangeEx = std::function<void(TCustomRichMemo& sender, UINT Message, int StartPos,
                                                    int EndPos, bool& AllowChange)>;
using TRichEditProtectChange = std::function<void(TCustomRichMemo& sender, int StartPos, int EndPos,
                                                  bool& AllowChange)>;
using TRichEditSaveClipboard = std::function<void(TCustomRichMemo& sender, int NumObjects, int NumChars,
                                                  bool& SaveClipboard)>;
using TRichEditResizeEvent = std::function<void(TCustomRichMemo& sender, const RECT& Rect)>;

class TCustomRichMemo : public TWinControl {
public:
    explicit TCustomRichMemo(TComponent* owner);
    ~TCustomRichMemo() override;

    TRichEditStrings& Lines() { return lines_; }
    TRichTextAttributes& SelectionFormat() { return selectionFormat_; }
    TRichTextAttributes& DefaultFormat() { return defaultFormat_; }
    TRichTextAttributes& WordFormat() { return wordFormat_; }
    TRichParaAttributes& ParagraphFormat() { return paragraphFormat_; }

    // Switching these re-creates the window; content and modified flag survive.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool HideScrollBars() const { return hideScrollBars_; }
    void SetHideScrollBars(bool value);
    bool SelectionBar() const { return selectionBar_; }
    void SetSelectionBar(bool value);
    bool AllowObjects() const { return allowObjects_; }
    void SetAllowObjects(bool value);

    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool Modified() const;
    void SetModified(bool value);
    // 0 means the platform's largest, 0xFFFFFF characters.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    bool AutoURLDetect() const;
    void SetAutoURLDetect(bool value);
    bool WordSelection() const;
    void SetWordSelection(bool value);
    int UndoLimit() const { return undoLimit_; }
    void SetUndoLimit(int value);
    TRichLangOptions LangOptions() const;
    void SetLangOptions(TRichLangOptions value);
    bool PlainText() const { return plainText_; }
    virtual void SetPlainText(bool value);
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& value);
    // Hides TWinControl::SetColor: the platform paints its own background.
    void SetColor(TColor color);

    // Kept for the program's windows; in-place activation itself is not offered.
    bool AllowInPlace = true;
    bool AutoVerbMenu = true;

    int SelStart() const;
    void SetSelStart(int value);
    int SelLength() const;
    void SetSelLength(int value);
    std::string SelText() const;
    // Replaces the selection as typing would: undoable, the new text selected.
    void SetSelText(const std::string& text);
    // Copies at most maxLength bytes and a terminating zero; the bytes copied.
    int GetSelTextBuf(char* buffer, int maxLength) const;
    void SelectRange(int start, int end, bool scroll);
    void SelectAll();
    // In the system's code page; letters it lacks come back as the platform's
    // stand-ins, so only for captions, file names and the like.
    std::string TextRange(int start, int end) const;
    // Every character as the editor holds it.
    std::wstring WideTextRange(int start, int end) const;
    // x: column, y: line of the caret (the selection's end).
    POINT CaretPos() const;

    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void Undo();
    // Closes embedded objects, empties the text, clears the modified flag.
    void Clear();
    // Closes every embedded object without saving it.
    void CloseObjects();
    // Puts a rich text document in place of the selection, as a paste does; its
    // embedded objects stay out.
    void InsertRichText(const std::string& rtf);

    std::function<void()> OnChange;
    std::function<void()> OnSelectionChange;
    TRichEditURLClickEvent OnURLClick;
    TRichEditProtectChange OnProtectChange;
    TRichEditProtectChangeEx OnProtectChangeEx;
    TRichEditSaveClipboard OnSaveClipboard;
    TRichEditResizeEvent OnResizeRequest;
    std::function<void(TMouseButton button, TShiftState shift, int x, int y)> OnMouseDown;

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void KeepState() override;
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    virtual void ResizeRequested(const RECT& rect);
    virtual void SelectionChanged();
    virtual bool ProtectChanging(UINT message, int start, int end);
    virtual bool SavingClipboard(int objects, int chars);
    virtual void LinkClicked(const std::wstring& text, TMouseButton button);

private:
    friend class TRichEditStrings;
    friend class TRichTextAttributes;
    friend class TRichParaAttributes;

    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // The editor's window is a wide one: text typed or sent to it keeps every
    // character. These carry text between the program's code page and the window.
    void SendReplaceSel(const std::string& text, bool canUndo) const;
    void SetEditorText(const std::string& text) const;
    std::string EditorText() const;
    void ApplyEventMask(bool withChange);
    void ApplyTextMode();
    void SetHostNames();
    void ReleaseOle();
    void LinkNotify(const ENLINK& link);
    LRESULT ReplaceSel(WPARAM canUndo, LPARAM text);
    // A paste as the callback takes it, asked first: not every version of the platform
    // asks it about every format. False leaves the paste to the platform.
    bool PasteWithoutObjects();

    // First, so freed last: the platform may call it until the window is gone.
    TRichEditOleCallback oleCallback_{this};
    TRichEditStrings lines_{*this};
    TRichTextAttributes selectionFormat_{*this, TAttributeType::atSelected};
    TRichTextAttributes defaultFormat_{*this, TAttributeType::atDefaultText};
    TRichTextAttributes wordFormat_{*this, TAttributeType::atWord};
    TRichParaAttributes paragraphFormat_{*this};

    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    bool hideScrollBars_ = true;
    bool selectionBar_ = true;
    bool allowObjects_ = true;
    bool hideSelection_ = true;
    bool readOnly_ = false;
    int maxLength_ = 0;
    bool autoURLDetect_ = true;
    bool wordSelection_ = true;
    int undoLimit_ = 100;
    TRichLangOptions langOptions_ = rlAutoFont;
    bool plainText_ = false;
    std::string title_;
    std::string pendingText_;

    // Between the destruction of a window and the making of the next one.
    std::unique_ptr<TMemoryStream> savedContent_;
    bool savedModified_ = false;
    bool destroying_ = false;
    bool internalReplace_ = false;
    int pendingLinkStart_ = -1, pendingLinkEnd_ = -1;
    TMouseButton pendingLinkButton_ = TMouseButton::mbLeft;

    ComPtr<IRichEditOle> richEditOle_;
};

// The editor as the program's windows use it.
class TRichMemo : public TCustomRichMemo {
public:
    explicit TRichMemo(TComponent* owner) : TCustomRichMemo(owner) {}
};
