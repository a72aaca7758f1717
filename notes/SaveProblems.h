#pragma once
// Saves that fail are told once, not at every save moment.
//
// Memos save themselves every time a note loses the activation, so a read-only
// folder or a full disk would otherwise raise a new error box every half second.
// A failing save is reported once, in plain words; the note keeps its content and
// tries again at its next save moment; the user hears of it again only after some
// save has succeeded in between.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

class TComponent;
class TTimer;

class TSaveReporter {
public:
    // Runs the save, which answers whether it wrote anything. When it raises, tells
    // the user (once, as above) and returns false; the error goes no further. A
    // save that had nothing to write proves nothing and leaves the state alone.
    bool Run(const std::string& what, const std::function<bool()>& save);
    bool Failing() const { return failing_; }
    // Tells the user of a problem that stops saves; the next failing save is then
    // not told again until one has succeeded.
    void Tell(const std::string& text);

    // How the report reaches the user; a message box unless replaced (tests).
    std::function<void(const std::string& text)> Show;
    // Set while the program closes: every save that fails then is named in the one
    // question Close asks, not in a box of its own.
    bool Quiet = false;

private:
    bool failing_ = false;
};

// The one reporter of the program, shared by every note.
TSaveReporter& SaveReporter();

// How long a save waits, trying again, for a file another program holds before the
// user hears of it; and how often it tries meanwhile.
constexpr DWORD kHoldGraceMs = 2000;
constexpr DWORD kHoldRetryMs = 200;

// The saves of one note. A save that meets a memo file another program holds for a
// moment (EFileHeld) is tried again quietly from a timer, so nothing waits; only a
// hold that lasts past kHoldGraceMs is told, through the reporter, like any other
// failing save.
class TSaveRetry {
public:
    // The timer belongs to `owner`. `subject` names the note for the report; `save`
    // answers whether it wrote, as TSaveReporter::Run takes it.
    TSaveRetry(TComponent* owner, std::function<std::string()> subject, std::function<bool()> save);
    // One save now; on a hold, further tries follow from the timer.
    void Run();
    // A held file is being waited for.
    bool Waiting() const;

private:
    TTimer* timer_;
    std::function<std::string()> subject_;
    std::function<bool()> save_;
    std::optional<DWORD> heldSince_;
};

// The text of a failing save: what could not be saved and the error, which names
// the file and the system's reason.
std::string SaveFailureText(const std::string& what, const std::string& error);

// Whether files can be created in the program folder; when not, the reason.
bool ProgramFolderWritable(std::string& reason);
// Tells the user once that the program folder cannot be written, for the reason
// ProgramFolderWritable gave (start-up).
void ReportUnwritableProgramFolder(const std::string& reason);
