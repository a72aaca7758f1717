#pragma once
// Embedded objects in rich text. A document can carry live objects (an \object
// group with the object's data in \objdata) that the editor would rebuild by
// starting the object's server, which is how a document runs code on its reader.
// Memos keep only what such an object shows: its result picture. Both functions
// read the document's bytes without an editor.

#include <string>
#include <string_view>

// The document with every object group replaced by its result (the picture it
// shows, in a plain group), or by nothing when it has none; an \objdata group
// outside an object goes as well. Anything that is not rich text comes back as it is.
std::string StripRtfObjects(std::string_view document);

// Whether the rich text document shows a picture.
bool RtfHoldsPicture(std::string_view document);
