#include "controls/RichMemo.h"
#include "controls/RtfObjects.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(RtfObjects, ObjectsLeaveOnlyTheirResultAndEverythingElseStays)
{
    struct Case {
        const char* what;
        std::string document, expected;
    };
    const Case cases[] = {
        {"no object", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 a\\b b\\b0\\par}",
         "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 a\\b b\\b0\\par}"},
        {"not rich text", "plain {\\object{\\*\\objdata 01}} text", "plain {\\object{\\*\\objdata 01}} text"},
        {"embedded object with a result picture",
         "{\\rtf1 a {\\object\\objemb{\\*\\objclass Package}{\\*\\objdata 0105}{\\result {\\pict\\wmetafile8 0102}}} b}",
         "{\\rtf1 a {{\\pict\\wmetafile8 0102}} b}"},
        {"ignorable result", "{\\rtf1{\\object\\objlink{\\*\\objdata 01}{\\*\\result x}}}", "{\\rtf1{x}}"},
        {"control without a result", "{\\rtf1 a{\\object\\objocx{\\*\\objdata 0102}}b}", "{\\rtf1 ab}"},
        {"object data outside an object", "{\\rtf1 {\\*\\objdata 0102}x}", "{\\rtf1 x}"},
        {"object data after another word", "{\\rtf1{\\fs20\\objdata 01}x}", "{\\rtf1x}"},
        {"braces inside binary data", "{\\rtf1{\\object{\\*\\objdata \\bin4 }}{{}{\\result r}}z}", "{\\rtf1{r}z}"},
        {"escaped braces and backslashes are text", "{\\rtf1 x\\{\\object\\} \\\\object y}",
         "{\\rtf1 x\\{\\} \\\\object y}"},
        {"object inside a result",
         "{\\rtf1{\\object{\\*\\objdata 01}{\\result{\\object{\\*\\objdata 02}{\\result{\\pict p}}}}}}",
         "{\\rtf1{{{\\pict p}}}}"},
        {"document cut short inside an object", "{\\rtf1 a{\\object{\\*\\objdata 0102", "{\\rtf1 a"},
        {"result of a group that is no object stays", "{\\rtf1{\\field{\\result r}}}", "{\\rtf1{\\field{\\result r}}}"},
        {"extra closing brace", "{\\rtf1 a}}", "{\\rtf1 a}}"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, StripRtfObjects(c.document)) << c.what;

    // A hostile depth neither overflows nor keeps what lies too deep.
    const std::string deep = "{\\rtf1 a" + std::string(100000, '{') + "\\object" + std::string(100000, '}') + "b}";
    const std::string stripped = StripRtfObjects(deep);
    EXPECT_EQ(std::string::npos, stripped.find("\\object"));
    EXPECT_EQ("b}", stripped.substr(stripped.size() - 2));
}

TEST(RtfObjects, PicturesAreFoundOnlyWhereTheyAre)
{
    struct Case {
        const char* document;
        bool picture;
    };
    const Case cases[] = {
        {"{\\rtf1 {\\pict\\dibitmap0 00}}", true},
        {"{\\rtf1{\\*\\shppict{\\pict\\pngblip 89}}}", true},
        {"{\\rtf1 text}", false},
        {"{\\rtf1 \\\\pict as text}", false},
        {"{\\rtf1\\picture}", false},
        {"plain \\pict", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.picture, RtfHoldsPicture(c.document)) << c.document;
}

TEST(RtfObjects, PastesAndDropsTakeTextRichTextAndPicturesOnly)
{
    const CLIPFORMAT rtf = ClipboardFormat("Rich Text Format"), embedded = ClipboardFormat("Embedded Object"),
                     link = ClipboardFormat("Link Source"), descriptor = ClipboardFormat("Object Descriptor"),
                     native = ClipboardFormat("RichEdit Native");
    struct Case {
        const char* what;
        CLIPFORMAT requested;
        std::set<CLIPFORMAT> offered;
        CLIPFORMAT expected;
    };
    const Case cases[] = {
        {"rich text before its object", 0, {embedded, descriptor, rtf, CF_UNICODETEXT}, rtf},
        {"text before a picture of it", 0, {CF_DIB, CF_TEXT}, CF_TEXT},
        {"an object's picture, never the object", 0, {embedded, descriptor, CF_METAFILEPICT}, CF_METAFILEPICT},
        {"a bitmap", 0, {CF_BITMAP, CF_DIB}, CF_DIB},
        {"an object alone", 0, {embedded, link, descriptor}, 0},
        {"the editor's own format with objects", 0, {native}, 0},
        {"a dropped image file", 0, {CF_HDROP}, CF_HDROP},
        {"an image before its file", 0, {CF_HDROP, ClipboardFormat("PNG")}, ClipboardFormat("PNG")},
        {"asked for the object", embedded, {embedded, CF_TEXT}, 0},
        {"asked for a link", link, {link, rtf}, 0},
        {"asked for a bitmap", CF_BITMAP, {CF_BITMAP, CF_TEXT}, CF_BITMAP},
        {"asked for what is not there", CF_TEXT, {CF_UNICODETEXT}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, AcceptedPasteFormat(c.requested, [&](CLIPFORMAT f) { return c.offered.count(f) > 0; }))
            << c.what;
}

} // namespace
