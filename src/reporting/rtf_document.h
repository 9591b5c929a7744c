// A small sequential writer of Rich Text Format documents in code page 1252.
// The document keeps only its current formats: the caller sets the format
// records directly and then writes paragraphs, pictures and table rows and cells
// one after the other. Every operation returns one of the result codes below.
// The file is written atomically: it replaces an earlier file of its name only
// when rtfClose finds every write done.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"

namespace relatix {

inline constexpr int kRtfSuccess = 4096;
inline constexpr int kRtfCannotOpen = 1;
inline constexpr int kRtfCannotClose = 2;
inline constexpr int kRtfHeaderFailed = 3;
inline constexpr int kRtfDocumentFormatFailed = 4;
inline constexpr int kRtfParagraphFailed = 6;
inline constexpr int kRtfPictureFailed = 7;
inline constexpr int kRtfTableFailed = 8;

// Measures in twips.
struct RtfDocumentFormat {
    int viewKind = 1;
    int viewScale = 100;
    int paperWidth = 12240;
    int paperHeight = 15840;
    int marginLeft = 1800;
    int marginRight = 1800;
    int marginTop = 1440;
    int marginBottom = 1440;
    bool facingPages = false;
    int gutter = 0;
    bool annotationProtection = false;
};

struct RtfSectionFormat {
    int breakType = 0;  // 0 none, 1 column, 2 page, 3 even, 4 odd
    bool newSection = false;
    bool defaultSection = true;
    int pageWidth = 12240;
    int pageHeight = 15840;
    int marginLeft = 1800;
    int marginRight = 1800;
    int marginTop = 1440;
    int marginBottom = 1440;
    int gutter = 0;
    int headerDistance = 720;
    int footerDistance = 720;
    bool pageNumbersShown = false;
    int pageNumberX = 720;
    int pageNumberY = 720;
    bool columnsOn = false;
    int columnCount = 1;
    int columnSpacing = 720;
    bool lineBetweenColumns = false;
};

struct RtfCharacterFormat {
    int animation = 0;
    bool bold = false;
    bool capitals = false;
    int colour = 0;
    int horizontalScale = 100;
    bool emboss = false;
    int expansion = 0;
    int font = 0;
    int fontSize = 24;  // half-points
    bool italic = false;
    bool engrave = false;
    int kerning = 0;
    bool outline = false;
    bool smallCapitals = false;
    bool shadow = false;
    bool strike = false;
    bool doubleStrike = false;
    bool subscript = false;
    bool superscript = false;
    int underline = 0;  // index into the underline words
};

struct RtfParagraphFormat {
    int breakType = 0;  // 0 none, 1 page, 2 column, 3 line
    bool newParagraph = false;
    bool defaultParagraph = true;
    int alignment = 0;  // 0 left, 1 centred, 2 right, 3 justified
    int firstLineIndent = 0;
    int leftIndent = 0;
    int rightIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;
    std::string text;  // plain text: written escaped
    bool tabTextOnly = false;
    bool inTable = false;
    bool tabsOn = false;
    int tabPosition = 0;
    int tabKind = 0;    // 1 centre, 2 right, 3 decimal
    int tabLeader = 0;  // 1 dot, 2 middle dot, 3 hyphen, 4 underline, 5 thick line, 6 equal sign
    bool numberingOn = false;
    int numberingLevel = 11;
    int numberingIndent = 360;
    int bulletCharacter = 149;
    bool borderOn = false;
    int borderSide = 0;  // 1 top, 2 bottom, 3 left, 4 right, 5 box
    int borderType = 0;
    int borderWidth = 0;
    int borderColour = 0;
    int borderSpace = 0;
    bool shadingOn = false;
    int shadingPercentage = 0;
    int shadingPattern = 0;
    int patternForeground = 0;
    int patternBackground = 0;
    RtfCharacterFormat character;
};

struct RtfRowFormat {
    int alignment = 0;  // 0 left, 1 centre, 2 right
    int rowHeight = 0;
    int paddingRight = 0;
    int paddingTop = 0;
    int paddingBottom = 0;
    int paddingLeft = 0;
    int leftPosition = 0;
};

struct RtfBorder {
    bool on = false;
    int type = 0;
    int width = 0;
    int colour = 0;
    int space = 0;
};

struct RtfCellFormat {
    int verticalAlignment = 0;  // 0 top, 1 centre, 2 bottom
    int textFlow = 0;           // 0..4
    bool shadingOn = false;
    int shadingPercentage = 0;
    int shadingPattern = 0;
    int patternForeground = 0;
    int patternBackground = 0;
    RtfBorder left;
    RtfBorder right;
    RtfBorder top;
    RtfBorder bottom;
};

// A decoded picture: 8-bit RGB, rows top to bottom.
struct RtfPicture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

struct RtfDocument {
    RtfDocumentFormat documentFormat;
    RtfSectionFormat sectionFormat;
    RtfParagraphFormat paragraphFormat;
    RtfRowFormat rowFormat;
    RtfCellFormat cellFormat;
    std::string fontTable;
    std::string colourTable;
    std::unique_ptr<AtomicFile> file;
    RtfPicture lastPicture;
};

// Resets every format, sets the font and colour tables (the defaults for empty
// lists), opens the file and writes the header, document and section formats.
int rtfOpen(RtfDocument& document, const std::string& fontList, const std::string& colourList,
            const std::string& path);
// Ends the document and puts the file in place; when any write failed the file
// is dropped (an earlier file of its name stays) and the result is kRtfCannotClose.
int rtfClose(RtfDocument& document);
// Why the file could not be opened or written, in the system's words; empty
// while nothing failed.
std::string rtfError(const RtfDocument& document);
bool rtfWriteSectionFormat(RtfDocument& document);
bool rtfWriteParagraph(RtfDocument& document);
int rtfStartParagraph(RtfDocument& document, const std::string& text, bool newParagraph);
// An empty paragraph and the picture of a .bmp, .jpg or .gif file.
int rtfLoadImage(RtfDocument& document, const std::string& imagePath);
int rtfStartRow(RtfDocument& document);
int rtfEndRow(RtfDocument& document);
int rtfStartCell(RtfDocument& document, int rightEdge);
int rtfEndCell(RtfDocument& document);

// Plain text as RTF text: "\", "{" and "}" escaped, tabs as \tab, line breaks
// as \line, other control bytes as \'hh. Bytes above 127 that form a valid UTF-8
// sequence are that character, written as \uN with its code page 1252 byte (or
// "?") for readers without Unicode; every other byte above 127 is a code page
// 1252 character, written as \'hh, and the five bytes that code page leaves
// undefined as the replacement character.
std::string rtfEscape(std::string_view text);

// The font and colour tables of a font list ("Arial;Courier New;") and a colour
// list ("0;0;0;255;0;0"); the default tables for empty lists.
std::string rtfFontTable(const std::string& fontList);
std::string rtfColourTable(const std::string& colourList);

// The picture's size in hundredths of a millimetre at screen resolution (96 dpi).
int pictureExtentHimetric(int pixels);

}  // namespace relatix
