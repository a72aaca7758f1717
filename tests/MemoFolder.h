#pragma once
// Program folders full of memos, as a user of many notes has them: one record
// with a caption and a place per memo, one rich-text file of about 2 KB each
// (fonts, sizes, colours, bold, italic, a bullet list, a centred line), every
// tenth memo in Korean.

#include <string>

// A memo's RTF of about the given size; Korean text when korean is set.
std::string SampleMemoRtf(int number, bool korean, size_t size = 2048);

// Writes memos 1..count into the folder: zkPostIt.ini and 001.txt... Memo places
// are spread over a screen of the given size.
void WriteMemoFolder(const std::string& folder, int count, int screenWidth = 1280, int screenHeight = 800);
