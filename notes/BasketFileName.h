#pragma once
// The wastebasket's file names: "yyyy-mm-dd hh_nn_ss", one blank, the memo's title
// and ".txt" ("2026-03-05 09_07_42 Shopping list.txt"). The timestamp is the memo's
// own time, so the names sort by it. In the title the eight characters a file name
// cannot hold are written as "%(" + decimal code + ")": a slash is "%(47)".

#include <windows.h>

#include <string>

constexpr char kBasketFileExtension[] = ".txt";

// The eight characters \ / : * ? < > | become "%(" + code + ")", and back. A "%("
// never closed ends the decoding; a code that is no number gives a blank.
std::string EncodeFileName(const std::string& text);
std::string DecodeFileName(const std::string& text);

// The name, without folder, of a memo with this title at this local time.
std::string BasketFileName(const SYSTEMTIME& when, const std::string& title);
// The title a name (or a path) holds, decoded. A name without the timestamp
// ("notes.txt", put there by hand) is all title.
std::string BasketFileTitle(const std::string& fileName);

// The wastebasket window's text for a name without its extension: the first two
// "_" (the timestamp's) become ":" and the title is decoded, so that
// "2026-03-05 09_07_42 a%(47)b" reads "2026-03-05 09:07:42 a/b"; and back again.
std::string DisplayTextFromFileName(const std::string& name);
std::string FileNameFromDisplayText(const std::string& text);
