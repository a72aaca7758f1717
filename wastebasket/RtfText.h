#pragma once
// The text a memo file shows, read straight from its bytes without an editor
// window: the wastebasket searches thousands of files and has to be quick.
//
// Rich text documents give the characters the editor would show: tables, pictures
// and other destinations are left out, \'hh bytes are read in the code page of the
// font in use (its character set, else the document's \ansicpg), \uN characters are
// taken with their stand-ins skipped. Paragraph and line breaks come out as '\n'.
// Anything that is not rich text is plain text in the system code page, as the
// editor loads it.

#include <string>
#include <string_view>

std::wstring RtfPlainText(std::string_view document);
std::wstring MemoFileText(std::string_view bytes);
