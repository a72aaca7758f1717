#pragma once
// The memos on disk: one record per memo in the memo index file, one rich-text file
// per memo beside the program, and the wastebasket folder that receives a deleted
// memo under a dated, titled name. Everything here takes plain values, so the memo
// window, the tray controller and the tests all use it the same way.
//
// The memo window calls it like this:
//   save:    WriteMemoContent(Tag, edtMemo text, edtMemo RTF)  (a blank memo makes no file)
//   load:    if the memo file exists, load it, then ReadMemoRecord(Tag)
//   caption: WriteCaption(Tag, trimmed caption);  word wrap: WriteWordWrap(Tag, flag)
//   close:   blank memo (MemoIsBlank, no caption) -> EraseMemo(Tag);
//            otherwise  -> MoveMemoToWastebasket(Tag, caption, editor lines, editor RTF)
// Rich content is the editor's RTF document, passed and stored as bytes.

#include "framework/SysUtils.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct TMemoRecord {
    std::string Caption;
    bool WordWrap = true;
};

// "7" for memo 7: the name of the memo's section in the memo index file.
std::string MemoSectionName(int number);
// Program folder + "007.txt" for memo 7 (at least three digits).
std::string MemoFilePath(int number);

// Raised by a content save in place of EFCreateError when another program has the
// memo file open without sharing (a virus scanner, the search indexer, a sync
// client): such a hold passes, and the save is worth trying again shortly.
class EFileHeld : public EFCreateError { using EFCreateError::EFCreateError; };

// Where a content save writes before it swaps the file in: beside the file, named
// "~007.txt.tmp", a name that sync clients and indexers leave alone.
std::string StagingFilePath(const std::string& memoFilePath);
// Staging files an interrupted save left in the program folder are removed (start-up);
// how many.
int RemoveStagingLeftovers();

// The lowest of 1..999 without a record; none when all are taken.
std::optional<int> NextFreeMemoNumber();
// The numbers of all records, in file order. A section name that is not a decimal
// number raises EConvertError "'%s' is not a valid integer value".
std::vector<int> ListMemoNumbers();

TMemoRecord ReadMemoRecord(int number);
void WriteCaption(int number, const std::string& caption);
void WriteWordWrap(int number, bool wordWrap);

// Nothing to keep: the text is blank once trimmed and the RTF shows no picture.
bool MemoIsBlank(const std::string& plainText, const std::string& rtf);

// Writes the RTF to the memo file. A blank memo creates no file, but one the user
// emptied is written empty over its file, so that what was deleted stays deleted.
// The new content is written beside the file and swapped in at once, so a failed
// save never leaves a half-written memo; the file keeps its creation time, the time
// it first had content. Writes nothing either when the file already holds exactly
// these bytes. Bytes in the file that the store never read nor wrote (another
// computer's text that came a moment ago) are first kept beside it as "007 (1).txt",
// a conflict copy that the folder sync makes a memo of; when that cannot be written,
// nothing is. Raises EFCreateError "Cannot create file "%s". %s" when the file
// cannot be written (EFileHeld when another program holds it). True when it wrote.
bool WriteMemoContent(int number, const std::string& plainText, const std::string& rtf);

// What the store last read from or wrote to each memo file, so that a change found
// there can be told from its own writes coming back (the folder may be synced).
bool IsMemoFileAsLastKnown(int number, const std::string& bytes);
void RememberMemoFile(int number, const std::string& bytes);
// The memo file's bytes, remembered as known; raises EFOpenError when it cannot
// be read.
std::string ReadMemoFile(int number);
// Writes exactly these bytes as the memo's file, whatever they hold, swapped in at
// once like every content save (a restore, the other version of a memo that came
// from elsewhere).
void WriteMemoFile(int number, const std::string& bytes);

// Removes a blank memo: its file, if there is one, then its record. A file that
// cannot be deleted raises EFCreateError and keeps the record.
void EraseMemo(int number);

// Memo files ("007.txt") that have no record are memos whose record was lost (a
// kill while the index was rewritten): each gets a record again, placed on the
// primary screen, so that the start-up opens it. The adopted numbers, ascending.
std::vector<int> AdoptOrphanMemoFiles();

// Writes the memo's RTF to the wastebasket, named by the memo file's creation time
// (or now, when there is no memo file) and the memo's title, and only then removes
// the record and the memo file. A title the file system refuses is cleaned or cut
// until the file can be written; when nothing can be written the memo stays in the
// store untouched and EFCreateError "Cannot create file "%s". %s" is raised.
// Returns the wastebasket file's path.
std::string MoveMemoToWastebasket(int number, const std::string& caption, const std::vector<std::string>& lines,
                                  const std::string& rtf);

// The full path of a wastebasket file that does not exist yet, for the memo's
// caption (or its first non-blank line) at the given local date and time; creates
// the wastebasket folder. A taken name moves the time on by one second.
std::string WastebasketFileName(const std::string& caption, const std::vector<std::string>& lines,
                                 const SYSTEMTIME& when);

// A title cut in the middle of a two-byte character loses the lone first byte at
// its end. Which bytes begin a two-byte character is the code page's business.
std::string DropLoneLeadByte(std::string title, UINT codePage = CP_ACP);
