#pragma once
// A note's place: where its window stands, kept in the note's own section of its
// ini file (the memo index, the pinned pages' file) as "Left", "Top", "Width" and
// "Height". The place is in screen coordinates whatever the note's mode: inside the
// desktop's icon view a window is moved in its parent's coordinates, which start
// wherever the shell's window starts, so the window converts on its way in and out
// (TfrmPaper::ScreenBounds), and a place read here is always a place on the screen.

#include <windows.h>

#include <string>

class TIniFile;
class TIniValues;
class TIniImage;

// What a record without the keys stands for: 300, 200, 300 wide and 200 high.
constexpr RECT kDefaultNotePlace{300, 200, 600, 400};

// The place a record holds; each key that is missing or unreadable takes its default.
RECT ReadNotePlace(const TIniValues& record);
RECT ReadNotePlace(const TIniImage& index, const std::string& section);
// Writes all four keys, Left, Top, Width and Height in this order.
void WriteNotePlace(TIniFile& ini, const std::string& section, const RECT& place);
// Writes the place only when it differs from the one the record holds; true when
// it wrote.
bool SaveNotePlace(TIniFile& ini, const std::string& section, const RECT& place);
// Where the note number `index` (from 0) of notes opened together goes when the
// first goes to `first`: each a step lower and to the right of the one before, so
// that none hides another, starting over after ten.
RECT CascadedPlace(const RECT& first, int index);
