#pragma once
// Bringing a deleted memo back from the wastebasket as a live memo.
//
// The order keeps the memo safe at every step: the memo file and its record are
// written first, and only then is the wastebasket file removed. A program that
// dies in between leaves the memo in both places, never in neither.

#include <windows.h>

#include <optional>
#include <string>

// The caption a restored memo gets back: the title in the file's name, unless the
// memo's text begins with it (the title was then taken from the text, and the memo
// had no caption). `text` is the memo's plain text.
std::string RestoredCaption(const std::string& fileName, const std::wstring& text);

// Makes the wastebasket file a memo again under the lowest free number, with its
// content, its caption and the given place, then removes the file. The number,
// or none when all 999 numbers are in use (nothing is then changed). A failed write
// raises its error and leaves the wastebasket file where it was.
std::optional<int> RestoreMemoFile(const std::string& path, const RECT& place);
