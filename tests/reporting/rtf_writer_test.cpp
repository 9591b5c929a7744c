#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "reporting/rtf_document.h"
#include "reporting/windows_metafile.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

// Braces outside escapes open and close in pairs and never go below zero.
bool bracesBalanced(const std::string& rtf) {
    int depth = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;  // an escaped character or the first letter of a word
            continue;
        }
        if (rtf[i] == '{') ++depth;
        if (rtf[i] == '}' && --depth < 0) return false;
    }
    return depth == 0;
}

TEST(RtfEscape, userTextCannotBreakTheDocument) {
    EXPECT_EQ(rtfEscape("a{b}c\\d"), "a\\{b\\}c\\\\d");
    // 8-bit text in code page 1252: e acute, the euro sign, an undefined byte.
    EXPECT_EQ(rtfEscape("Jos\xE9 \x80"), "Jos\\'e9 \\'80");
    EXPECT_EQ(rtfEscape("x\x81y"), "x\\u-3?y");
    // Valid UTF-8 is its character, with the code page byte (or "?") for readers
    // without Unicode; beyond U+FFFF a surrogate pair. Bytes that form no valid
    // sequence (overlong, cut short) stay code page 1252.
    EXPECT_EQ(rtfEscape("Jos\xC3\xA9 \xE2\x82\xAC"), "Jos\\u233\\'e9 \\u8364\\'80");
    EXPECT_EQ(rtfEscape("\xC5\x81\xEF\xBC\x81\xF0\x9F\x98\x80"),
              "\\u321?\\u-255?\\u-10179?\\u-8704?");
    EXPECT_EQ(rtfEscape("\xC0\xAF\xC3"), "\\'c0\\'af\\'c3");
    EXPECT_EQ(rtfEscape("a\tb\r\nc\x01"), "a\\tab b\\line c\\'01");
}

TEST(RtfDocumentWriter, writesTablesListsAndParagraphsAsDocumented) {
    testing::TempFolder folder;
    const std::string path = folder.file("doc.rtf");
    RtfDocument doc;
    ASSERT_EQ(rtfOpen(doc, "Arial;Courier New;", "0;0;0;255;0;0;192;192;192", path), kRtfSuccess);
    EXPECT_EQ(doc.colourTable,
              "\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red192\\green192\\blue192;");
    EXPECT_EQ(doc.fontTable,
              "{\\f0\\fnil\\fcharset0\\cpg1252 Arial}{\\f1\\fnil\\fcharset0\\cpg1252 Courier New}");

    doc.paragraphFormat.character.bold = true;
    EXPECT_EQ(rtfStartParagraph(doc, "Title {x}", true), kRtfSuccess);
    doc.paragraphFormat.tabTextOnly = true;
    EXPECT_EQ(rtfStartParagraph(doc, "tabbed", false), kRtfSuccess);
    doc.paragraphFormat.tabTextOnly = false;
    // Not one of the three picture formats: the error paragraph, and success.
    EXPECT_EQ(rtfLoadImage(doc, folder.write("picture.png", "png")), kRtfSuccess);
    // A picture file that cannot be decoded writes nothing.
    EXPECT_EQ(rtfLoadImage(doc, folder.write("broken.jpg", "no jpeg")), kRtfPictureFailed);
    EXPECT_EQ(rtfLoadImage(doc, folder.file("missing.bmp")), kRtfPictureFailed);
    EXPECT_EQ(rtfStartRow(doc), kRtfSuccess);
    EXPECT_EQ(rtfStartCell(doc, 2000), kRtfSuccess);
    doc.paragraphFormat.inTable = true;
    EXPECT_EQ(rtfStartParagraph(doc, "cell", false), kRtfSuccess);
    EXPECT_EQ(rtfEndCell(doc), kRtfSuccess);
    EXPECT_EQ(rtfEndRow(doc), kRtfSuccess);
    EXPECT_EQ(rtfClose(doc), kRtfSuccess);

    const std::string rtf = testing::readFile(path);
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl", 0), 0u);
    EXPECT_TRUE(bracesBalanced(rtf));
    EXPECT_NE(rtf.find("\\par\\pard\\plain\\ql\\fi0\\li0\\ri0\\sb0\\sa0\\sl0\\animtext0\\expndtw0"
                       "\\kerning0\\charscalex100\\f0\\fs24\\cf0\\b\\caps0"),
              std::string::npos);
    EXPECT_NE(rtf.find("\\ulnone Title \\{x\\}"), std::string::npos);
    // The tab-text-only paragraph: the tab and its text, no paragraph or character words.
    EXPECT_NE(rtf.find("Title \\{x\\}\\tab tabbed\r\n"), std::string::npos);
    EXPECT_NE(rtf.find("\r\n\\par\\pard *** Error! Wrong image format ***\\par\r\n\\trowd"),
              std::string::npos);
    EXPECT_EQ(rtf.find("\\pict"), std::string::npos);
    EXPECT_NE(rtf.find("\\tcelld\\clvertalt\\cltxlrtb\\cellx2000\r\n\\pard\\intbl\\ql"),
              std::string::npos);
    EXPECT_NE(rtf.find(" cell\r\n\\cell \r\n\\trgaph115\\row\\pard\r\n\\par}"), std::string::npos);
    // Every line ends CR LF.
    for (size_t p = rtf.find('\n'); p != std::string::npos; p = rtf.find('\n', p + 1))
        EXPECT_EQ(rtf[p - 1], '\r');
}

TEST(RtfDocumentWriter, anUnwritableFileIsReportedAndWritesNothing) {
    RtfDocument doc;
    EXPECT_EQ(rtfOpen(doc, "", "", "/no/such/folder/doc.rtf"), kRtfCannotOpen);
    EXPECT_EQ(rtfStartParagraph(doc, "text", true), kRtfParagraphFailed);
    EXPECT_EQ(rtfClose(doc), kRtfCannotClose);
    // The default tables for empty lists.
    EXPECT_EQ(rtfColourTable("").substr(0, 40), "\\red0\\green0\\blue0;\\red255\\green0\\blue0;");
    EXPECT_EQ(rtfFontTable("").rfind("{\\f0\\froman\\fcharset0\\cpg1252 Times New Roman}{\\f1", 0),
              0u);
}

// A 3 x 2 picture: its pixels' red, green and blue values count up from 1.
RtfPicture testPicture() {
    RtfPicture picture;
    picture.width = 3;
    picture.height = 2;
    for (int v = 1; v <= 18; ++v) picture.rgb.push_back(static_cast<unsigned char>(v));
    return picture;
}

TEST(PictureMetafile, holdsHeaderStretchDibAndEndRecordByteForByte) {
    // clang-format off
    const std::vector<std::uint8_t> expected = {
        // header: memory metafile, 9 words, version 3, 58 words in all, no objects,
        // largest record 46 words
        0x01, 0x00, 0x09, 0x00, 0x00, 0x03, 0x3A, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x2E, 0x00, 0x00, 0x00, 0x00, 0x00,
        // StretchDIB: 46 words, SRCCOPY, RGB colours, source 2 x 3 at 0,0, destination 2 x 3 at 0,0
        0x2E, 0x00, 0x00, 0x00, 0x43, 0x0F, 0x20, 0x00, 0xCC, 0x00, 0x00, 0x00,
        0x02, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x02, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00,
        // bitmap header: 40 bytes, 3 x 2, one plane, 24 bits, uncompressed, 24 bytes, 96 dpi
        0x28, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
        0x01, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x18, 0x00, 0x00, 0x00,
        0xC4, 0x0E, 0x00, 0x00, 0xC4, 0x0E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00,
        // the bottom row first, blue-green-red, each row padded to 12 bytes
        12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0,
        3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0,
        // end record
        0x03, 0x00, 0x00, 0x00, 0x00, 0x00};
    // clang-format on
    EXPECT_EQ(pictureMetafile(testPicture(), 3, 2), expected);

    RtfPicture wrong = testPicture();
    wrong.rgb.pop_back();
    EXPECT_TRUE(pictureMetafile(wrong, 3, 2).empty());
    EXPECT_TRUE(pictureMetafile(testPicture(), 40000, 2).empty());
}

// The same picture as a bottom-up 24-bit Windows bitmap file.
std::string bitmapFile() {
    std::string pixels;
    const RtfPicture p = testPicture();
    for (int y = 1; y >= 0; --y) {
        for (int x = 0; x < 3; ++x)
            for (int c = 2; c >= 0; --c) pixels += static_cast<char>(p.rgb[(y * 3 + x) * 3 + c]);
        pixels += std::string(3, '\0');
    }
    auto dword = [](std::uint32_t v) {
        std::string s;
        for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    };
    std::string file = "BM" + dword(54 + static_cast<std::uint32_t>(pixels.size())) + dword(0) +
                       dword(54) + dword(40) + dword(3) + dword(2) +
                       std::string("\x01\x00\x18\x00", 4) + dword(0) +
                       dword(static_cast<std::uint32_t>(pixels.size())) + dword(3780) +
                       dword(3780) + dword(0) + dword(0);
    return file + pixels;
}

TEST(RtfPictures, aBitmapIsEmbeddedAsItsMetafileAtTheDocumentedSizes) {
    testing::TempFolder folder;
    const std::string path = folder.file("doc.rtf");
    RtfDocument doc;
    ASSERT_EQ(rtfOpen(doc, "", "", path), kRtfSuccess);
    EXPECT_EQ(rtfLoadImage(doc, folder.write("three.bmp", bitmapFile())), kRtfSuccess);
    EXPECT_EQ(doc.lastPicture.rgb, testPicture().rgb);
    EXPECT_EQ(rtfClose(doc), kRtfSuccess);

    std::string hex;
    for (std::uint8_t b : pictureMetafile(testPicture(), 3, 2)) {
        static const char digits[] = "0123456789abcdef";
        hex += digits[b >> 4];
        hex += digits[b & 0xF];
    }
    const std::string rtf = testing::readFile(path);
    // 3 and 2 pixels at 96 dpi in hundredths of a millimetre.
    EXPECT_NE(rtf.find("\\ulnone \r\n{\\pict\\wmetafile8\\picwgoal79\\pichgoal53\\picscalex34"
                       "\\picscaley20\r\n" +
                       hex + "}"),
              std::string::npos)
        << rtf.substr(rtf.find("{\\pict") - 10, 120);
    EXPECT_TRUE(bracesBalanced(rtf));
}

}  // namespace
}  // namespace relatix
