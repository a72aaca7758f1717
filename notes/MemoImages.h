#pragma once
// The pictures of the memo windows' toolbar, editor menu and actions: one image
// list that whoever owns the memo windows makes once and hands to each of them.

#include "framework/Component.h"

class TImageList;

enum TMemoImage : int {
    miCut, miCopy, miPaste, miBold, miItalic, miUnderline, miStrikeOut,
    miAlignLeft, miAlignCenter, miAlignRight, miBullets, kMemoImageCount
};

// The eleven 16 x 16 pictures of the program's toolbar bitmap, magenta as the
// mask, in an image list owned by `owner` (the tray controller's `imgsPostIt`).
TImageList* CreateMemoImages(TComponent* owner);
