#pragma once
// Pictures brought into the editor as rich text. Every picture a memo takes (a
// bitmap, a metafile, a PNG or JPEG image or image file) becomes a Windows metafile
// picture (\pict\wmetafile8), the form every version of the platform's editor reads,
// shows and writes back: the picture is kept in the memo's file like its text.

#include <windows.h>
#include <objidl.h>

#include <optional>
#include <string>

// The clipboard formats of encoded images, and what a dropped file is.
CLIPFORMAT PngFormat();
CLIPFORMAT JpegFormat();
bool IsImageFileName(const std::string& path);
// Whether the data is one dropped file, an image file.
bool OffersImageFile(IDataObject& data);

// The rich text of the picture the data object holds in the given format (a bitmap,
// a device-independent bitmap, a metafile, an encoded image or a dropped image
// file); none when it holds no picture there.
std::optional<std::string> PictureRtf(IDataObject& data, CLIPFORMAT format);
