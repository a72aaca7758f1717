#include "notes/SaveProblems.h"

#include "framework/SysUtils.h"
#include "framework/Timer.h"
#include "notes/MemoStore.h"
#include "shell/EProjectInc.h"

#include <windows.h>

#include <exception>

namespace {

void ShowInBox(const std::string& text)
{
    const std::wstring caption = PrjInfo ? PrjInfo->Title() : L"Pinova";
    MessageBoxW(nullptr, AnsiToWide(text).c_str(), caption.c_str(), MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}

} // namespace

bool TSaveReporter::Run(const std::string& what, const std::function<bool()>& save)
{
    std::string error;
    try {
        if (save())
            failing_ = false;
        return true;
    } catch (const std::exception& e) {
        error = e.what();
    } catch (...) {
        error = "Unexpected error";
    }
    if (!failing_ && !Quiet)
        Tell(SaveFailureText(what, error));
    return false;
}

void TSaveReporter::Tell(const std::string& text)
{
    // Set before the box shows: the saves of other notes that fail while it is
    // open must not stack boxes of their own.
    failing_ = true;
    (Show ? Show : ShowInBox)(text);
}

TSaveReporter& SaveReporter()
{
    static TSaveReporter reporter;
    return reporter;
}

TSaveRetry::TSaveRetry(TComponent* owner, std::function<std::string()> subject, std::function<bool()> save)
    : timer_(owner->Create<TTimer>()), subject_(std::move(subject)), save_(std::move(save))
{
    timer_->Name = "tmrRetrySave";
    timer_->SetEnabled(false);
    timer_->SetInterval(kHoldRetryMs);
    timer_->OnTimer = [this] { Run(); };
}

void TSaveRetry::Run()
{
    bool held = false;
    SaveReporter().Run(subject_(), [&] {
        try {
            return save_();
        } catch (const EFileHeld&) {
            const DWORD now = GetTickCount();
            if (!heldSince_)
                heldSince_ = now;
            if (now - *heldSince_ >= kHoldGraceMs)
                throw;
            held = true;
            // Nothing written: the reporter's state stays as it was.
            return false;
        }
    });
    if (!held)
        heldSince_.reset();
    timer_->SetEnabled(held);
}

bool TSaveRetry::Waiting() const { return heldSince_.has_value(); }

std::string SaveFailureText(const std::string& what, const std::string& error)
{
    return "Pinova could not save " + what + ".\n\n" + error +
           "\n\nThe note stays open with everything in it, and Pinova tries again at its next save. "
           "Check that the folder can be written and that the disk has room.";
}

bool ProgramFolderWritable(std::string& reason)
{
    const std::string probe = PrjInfo->ProgramPath + "~pinova-write-test.tmp";
    const HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = SysErrorMessage(GetLastError());
        return false;
    }
    CloseHandle(file);
    return true;
}

void ReportUnwritableProgramFolder(const std::string& reason)
{
    SaveReporter().Tell(
        "Pinova cannot write to its folder " + PrjInfo->ProgramPath + ".\n\n" + reason +
        "\n\nPinova keeps its notes beside pinova.exe, so nothing can be saved until that folder can be "
        "written. Move Pinova to a folder of your own (for instance in Documents) or allow writing there.");
}
