#include "reporting/rtf_document.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "relatix_version.h"
#include "reporting/picture_file.h"
#include "reporting/windows_metafile.h"

namespace relatix {
namespace {

constexpr const char* kBorderWords[] = {
    "\\brdrs",          "\\brdrth",     "\\brdrsh",     "\\brdrdb",     "\\brdrdot",
    "\\brdrdash",       "\\brdrhair",   "\\brdrinset",  "\\brdrdashsm", "\\brdrdashd",
    "\\brdrdashdd",     "\\brdroutset", "\\brdrtriple", "\\brdrwavy",   "\\brdrwavydb",
    "\\brdrdashdotstr", "\\brdremboss", "\\brdrengrave"};
constexpr const char* kUnderlineWords[] = {
    "\\ulnone",    "\\ul",         "\\uld",       "\\uldash",     "\\uldashd", "\\uldashdd",
    "\\uldb",      "\\ulhwave",    "\\ulldash",   "\\ulth",       "\\ulthd",   "\\ulthdash",
    "\\ulthdashd", "\\ulthdashdd", "\\ulthldash", "\\ululdbwave", "\\ulw",     "\\ulwave"};
constexpr const char* kParagraphPatternWords[] = {"",
                                                  "\\bghoriz",
                                                  "\\bgvert",
                                                  "\\bgfdiag",
                                                  "\\bgbdiag",
                                                  "\\bgcross",
                                                  "\\bgdcross",
                                                  "\\bgdkhoriz",
                                                  "\\bgdkvert",
                                                  "\\bgdkfdiag",
                                                  "\\bgdkbdiag",
                                                  "\\bgdkcross",
                                                  "\\bgdkdcross"};
constexpr const char* kCellPatternWords[] = {"",
                                             "\\clbghoriz",
                                             "\\clbgvert",
                                             "\\clbgfdiag",
                                             "\\clbgbdiag",
                                             "\\clbgcross",
                                             "\\clbgdcross",
                                             "\\clbgdkhoriz",
                                             "\\clbgdkvert",
                                             "\\clbgdkfdiag",
                                             "\\clbgdkbdiag",
                                             "\\clbgdkcross",
                                             "\\clbgdkdcross"};

// The word of a table at an index; an index outside the table gives its first word.
template <size_t N>
const char* wordAt(const char* const (&words)[N], int index) {
    return index >= 0 && static_cast<size_t>(index) < N ? words[index] : words[0];
}

// The word of a 1-based choice among words; nothing for 0 or an index outside.
std::string choice(std::initializer_list<const char*> words, int index) {
    if (index < 1 || static_cast<size_t>(index) > words.size()) return {};
    return *(words.begin() + (index - 1));
}

std::string number(int value) {
    return std::to_string(value);
}

// The "\n" of the document's words, written as a CR LF line end.
std::string lines(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Writes the whole text; false when the file took less of it.
bool put(RtfDocument& document, std::string_view text) {
    if (!document.file || !document.file->isOpen()) return false;
    const std::string out = lines(text);
    std::ostream& stream = document.file->stream();
    stream.write(out.data(), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(stream);
}

std::vector<std::string> splitList(const std::string& list) {
    std::vector<std::string> items;
    std::string item;
    for (char c : list) {
        if (c == ';') {
            items.push_back(item);
            item.clear();
        } else {
            item += c;
        }
    }
    if (!item.empty()) items.push_back(item);
    return items;
}

// A colour component of a colour list: a whole number from 0 to 255, else 0.
std::string colourComponent(const std::string& text) {
    std::string trimmed;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c))) trimmed += c;
    if (trimmed.empty() || trimmed.size() > 3 ||
        !std::all_of(trimmed.begin(), trimmed.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return "0";
    const int value = std::stoi(trimmed);
    return std::to_string(std::min(value, 255));
}

std::string hexByte(unsigned value) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out += digits[(value >> 4) & 0xF];
    out += digits[value & 0xF];
    return out;
}

struct Utf8Character {
    char32_t codePoint = 0;
    size_t length = 0;
};

// The character of a valid UTF-8 sequence starting at a byte above 127: no
// overlong form, no surrogate, nothing beyond U+10FFFF. Text in an 8-bit code
// page rarely holds such a sequence (a lead byte such as \xC3 must be followed by
// one to three bytes of \x80..\xBF), so anything else is taken as code page 1252.
std::optional<Utf8Character> utf8CharacterAt(std::string_view text, size_t at) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t length = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (at + length > text.size()) return std::nullopt;
    for (size_t k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        value = (value << 6) | (next & 0x3F);
    }
    const char32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    return Utf8Character{value, length};
}

// The code page 1252 byte of a character, 0 when the code page lacks it.
unsigned char windows1252Byte(char32_t codePoint) {
    if (codePoint >= 0xA0 && codePoint <= 0xFF) return static_cast<unsigned char>(codePoint);
    static const char32_t high[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (int k = 0; k < 32; ++k)
        if (high[k] == codePoint) return static_cast<unsigned char>(0x80 + k);
    return 0;
}

// \uN with N as RTF's signed 16-bit number, followed by the character a reader
// without Unicode shows instead; beyond U+FFFF as a pair of UTF-16 surrogates.
std::string unicodeEscape(char32_t codePoint) {
    auto unit = [](unsigned value, const std::string& fallback) {
        const int signedValue =
            value > 32767 ? static_cast<int>(value) - 65536 : static_cast<int>(value);
        return "\\u" + std::to_string(signedValue) + fallback;
    };
    if (codePoint > 0xFFFF) {
        const unsigned v = static_cast<unsigned>(codePoint - 0x10000);
        return unit(0xD800 + (v >> 10), "?") + unit(0xDC00 + (v & 0x3FF), "?");
    }
    const unsigned char byte = windows1252Byte(codePoint);
    return unit(static_cast<unsigned>(codePoint), byte ? "\\'" + hexByte(byte) : "?");
}

bool writeDocumentFormat(RtfDocument& document) {
    const RtfDocumentFormat& f = document.documentFormat;
    std::string s = "\\viewkind" + number(f.viewKind) + "\\viewscale" + number(f.viewScale) +
                    "\\paperw" + number(f.paperWidth) + "\\paperh" + number(f.paperHeight) +
                    "\\margl" + number(f.marginLeft) + "\\margr" + number(f.marginRight) +
                    "\\margt" + number(f.marginTop) + "\\margb" + number(f.marginBottom) +
                    "\\gutter" + number(f.gutter);
    if (f.facingPages) s += "\\facingp";
    if (f.annotationProtection) s += "\\annotprot";
    return put(document, s);
}

std::string paragraphWords(const RtfParagraphFormat& p) {
    std::string s;
    if (p.newParagraph) s += "\\par";
    if (p.defaultParagraph) s += "\\pard";
    s += p.inTable ? "\\intbl" : "\\plain";
    s += choice({"\\page", "\\column", "\\line"}, p.breakType);
    s += choice({"\\ql", "\\qc", "\\qr", "\\qj"}, p.alignment + 1);
    if (p.tabsOn) {
        s += choice({"\\tqc", "\\tqr", "\\tqdec"}, p.tabKind);
        s += choice({"\\tldot", "\\tlmdot", "\\tlhyph", "\\tlul", "\\tlth", "\\tleq"}, p.tabLeader);
        s += "\\tx" + number(p.tabPosition);
    }
    if (p.numberingOn) {
        s += "{\\*\\pn\\pnlvl" + number(p.numberingLevel) + "\\pnsp" + number(p.numberingIndent) +
             "\\pntxtb " + rtfEscape(std::string(1, static_cast<char>(p.bulletCharacter))) + "}";
    }
    if (p.borderOn) {
        s += choice({"\\brdrt", "\\brdrb", "\\brdrl", "\\brdrr", "\\box"}, p.borderSide);
        s += wordAt(kBorderWords, p.borderType);
        s += "\\brdrw" + number(p.borderWidth) + "\\brsp" + number(p.borderSpace);
        s += "\\brdrcf" + number(p.borderColour);
    }
    if (p.shadingOn) {
        s += "\\shading" + number(p.shadingPercentage);
        s += wordAt(kParagraphPatternWords, p.shadingPattern);
        s += "\\cfpat" + number(p.patternForeground) + "\\cbpat" + number(p.patternBackground);
    }
    return s;
}

std::string characterWords(const RtfCharacterFormat& c) {
    std::string s = "\\animtext" + number(c.animation) + "\\expndtw" + number(c.expansion) +
                    "\\kerning" + number(c.kerning) + "\\charscalex" + number(c.horizontalScale) +
                    "\\f" + number(c.font) + "\\fs" + number(c.fontSize) + "\\cf" +
                    number(c.colour);
    s += c.bold ? "\\b" : "\\b0";
    s += c.capitals ? "\\caps" : "\\caps0";
    s += c.doubleStrike ? "\\striked1" : "\\striked0";
    if (c.emboss) s += "\\embo";
    if (c.engrave) s += "\\impr";
    s += c.italic ? "\\i" : "\\i0";
    s += c.outline ? "\\outl" : "\\outl0";
    s += c.shadow ? "\\shad" : "\\shad0";
    s += c.smallCapitals ? "\\scaps" : "\\scaps0";
    s += c.strike ? "\\strike" : "\\strike0";
    if (c.subscript) s += "\\sub";
    if (c.superscript) s += "\\super";
    s += wordAt(kUnderlineWords, c.underline);
    return s;
}

std::string cellBorder(const char* side, const RtfBorder& border) {
    if (!border.on) return {};
    return std::string(side) + wordAt(kBorderWords, border.type) + "\\brdrw" +
           number(border.width) + "\\brsp" + number(border.space) + "\\brdrcf" +
           number(border.colour);
}

// A size in hundredths of a millimetre in pixels at screen resolution, rounded:
// one pixel of the picture per logical unit of its metafile.
int renderedPixels(int himetric) {
    return std::max(1, static_cast<int>((static_cast<long long>(himetric) * 96 + 1270) / 2540));
}

}  // namespace

std::string rtfEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 0x80) {
            if (const std::optional<Utf8Character> u = utf8CharacterAt(text, i)) {
                out += unicodeEscape(u->codePoint);
                i += u->length - 1;
            } else if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) {
                out += "\\u-3?";  // U+FFFD as RTF's signed 16-bit number
            } else {
                out += "\\'" + hexByte(c);
            }
        } else if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += ch;
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == '\n') {
            out += "\\line ";
        } else if (c == '\r') {
            // A CR LF pair is one line break: the LF writes it.
        } else if (c < 0x20) {
            out += "\\'" + hexByte(c);
        } else {
            out += ch;
        }
    }
    return out;
}

std::string rtfFontTable(const std::string& fontList) {
    if (fontList.empty()) {
        return "{\\f0\\froman\\fcharset0\\cpg1252 Times New Roman}"
               "{\\f1\\fswiss\\fcharset0\\cpg1252 Arial}"
               "{\\f2\\fmodern\\fcharset0\\cpg1252 Courier New}"
               "{\\f3\\fscript\\fcharset0\\cpg1252 Cursive}"
               "{\\f4\\fdecor\\fcharset0\\cpg1252 Old English}"
               "{\\f5\\ftech\\fcharset0\\cpg1252 Symbol}"
               "{\\f6\\fbidi\\fcharset0\\cpg1252 Miriam}";
    }
    std::string table;
    int index = 0;
    for (const std::string& name : splitList(fontList))
        table += "{\\f" + number(index++) + "\\fnil\\fcharset0\\cpg1252 " + rtfEscape(name) + "}";
    return table;
}

std::string rtfColourTable(const std::string& colourList) {
    if (colourList.empty()) {
        static const int defaults[15][3] = {
            {0, 0, 0},     {255, 0, 0},   {0, 255, 0},     {0, 0, 255},   {255, 255, 0},
            {255, 0, 255}, {0, 255, 255}, {255, 255, 255}, {128, 0, 0},   {0, 128, 0},
            {0, 0, 128},   {128, 128, 0}, {128, 0, 128},   {0, 128, 128}, {128, 128, 128}};
        std::string table;
        for (const auto& rgb : defaults)
            table += "\\red" + number(rgb[0]) + "\\green" + number(rgb[1]) + "\\blue" +
                     number(rgb[2]) + ";";
        return table;
    }
    const std::vector<std::string> values = splitList(colourList);
    std::string table;
    // Taken three at a time; an incomplete last colour is left out.
    for (size_t i = 0; i + 2 < values.size(); i += 3)
        table += "\\red" + colourComponent(values[i]) + "\\green" + colourComponent(values[i + 1]) +
                 "\\blue" + colourComponent(values[i + 2]) + ";";
    return table;
}

int pictureExtentHimetric(int pixels) {
    return static_cast<int>((static_cast<long long>(pixels) * 2540 + 48) / 96);
}

int rtfOpen(RtfDocument& document, const std::string& fontList, const std::string& colourList,
            const std::string& path) {
    document.file.reset();  // a document still open is dropped
    document.documentFormat = {};
    document.sectionFormat = {};
    document.paragraphFormat = {};
    document.rowFormat = {};
    document.cellFormat = {};
    document.lastPicture = {};
    document.fontTable = rtfFontTable(fontList);
    document.colourTable = rtfColourTable(colourList);
    document.file = std::make_unique<AtomicFile>(path);
    if (!document.file->isOpen()) return kRtfCannotOpen;

    const std::string header = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl" + document.fontTable +
                               "}{\\colortbl" + document.colourTable +
                               "}{\\*\\generator Relatix2 " + kRelatixVersion +
                               " RTF writer;}\n{\\info{\\author Relatix2}{\\company Relatix2}}";
    if (!put(document, header)) return kRtfHeaderFailed;
    if (!writeDocumentFormat(document)) return kRtfDocumentFormatFailed;
    if (!rtfWriteSectionFormat(document)) return kRtfDocumentFormatFailed;
    return kRtfSuccess;
}

int rtfClose(RtfDocument& document) {
    document.lastPicture = {};
    if (!document.file || !document.file->isOpen()) return kRtfCannotClose;
    if (!put(document, "\n\\par}")) {
        document.file->discard();
        return kRtfCannotClose;
    }
    // A document with a failed write anywhere is not put in place.
    return document.file->commit() == AtomicWriteStatus::Written ? kRtfSuccess : kRtfCannotClose;
}

std::string rtfError(const RtfDocument& document) {
    return document.file ? document.file->error() : std::string();
}

bool rtfWriteSectionFormat(RtfDocument& document) {
    const RtfSectionFormat& f = document.sectionFormat;
    std::string s = "\n";
    if (f.newSection) s += "\\sect";
    if (f.defaultSection) s += "\\sectd";
    if (f.pageNumbersShown)
        s += "\\pgnx" + number(f.pageNumberX) + "\\pgny" + number(f.pageNumberY);
    s += choice({"\\sbknone", "\\sbkcol", "\\sbkpage", "\\sbkeven", "\\sbkodd"}, f.breakType + 1);
    if (f.columnsOn) {
        s += "\\cols" + number(f.columnCount) + "\\colsx" + number(f.columnSpacing);
        if (f.lineBetweenColumns) s += "\\linebetcol";
    }
    s += "\\pgwsxn" + number(f.pageWidth) + "\\pghsxn" + number(f.pageHeight) + "\\marglsxn" +
         number(f.marginLeft) + "\\margrsxn" + number(f.marginRight) + "\\margtsxn" +
         number(f.marginTop) + "\\margbsxn" + number(f.marginBottom) + "\\guttersxn" +
         number(f.gutter) + "\\headery" + number(f.headerDistance) + "\\footery" +
         number(f.footerDistance);
    return put(document, s);
}

bool rtfWriteParagraph(RtfDocument& document) {
    const RtfParagraphFormat& p = document.paragraphFormat;
    if (p.tabTextOnly) return put(document, "\\tab " + rtfEscape(p.text));
    const std::string s = "\n" + paragraphWords(p) + "\\fi" + number(p.firstLineIndent) + "\\li" +
                          number(p.leftIndent) + "\\ri" + number(p.rightIndent) + "\\sb" +
                          number(p.spaceBefore) + "\\sa" + number(p.spaceAfter) + "\\sl" +
                          number(p.lineSpacing) + characterWords(p.character) + " " +
                          rtfEscape(p.text);
    return put(document, s);
}

int rtfStartParagraph(RtfDocument& document, const std::string& text, bool newParagraph) {
    document.paragraphFormat.text = text;
    document.paragraphFormat.newParagraph = newParagraph;
    return rtfWriteParagraph(document) ? kRtfSuccess : kRtfParagraphFailed;
}

int rtfLoadImage(RtfDocument& document, const std::string& imagePath) {
    std::string lower = imagePath;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.find(".bmp") == std::string::npos && lower.find(".jpg") == std::string::npos &&
        lower.find(".gif") == std::string::npos) {
        return put(document, "\n\\par\\pard *** Error! Wrong image format ***\\par")
                   ? kRtfSuccess
                   : kRtfPictureFailed;
    }
    std::optional<RtfPicture> picture = decodePictureFile(imagePath);
    if (!picture) return kRtfPictureFailed;
    const int w = pictureExtentHimetric(picture->width);
    const int h = pictureExtentHimetric(picture->height);
    const int renderWidth = renderedPixels(w);
    const int renderHeight = renderedPixels(h);
    const std::vector<std::uint8_t> metafile = pictureMetafile(*picture, renderWidth, renderHeight);
    if (metafile.empty()) return kRtfPictureFailed;
    document.lastPicture = std::move(*picture);

    document.paragraphFormat.text.clear();
    if (!rtfWriteParagraph(document)) return kRtfPictureFailed;
    std::string s = "\n{\\pict\\wmetafile8\\picwgoal" + number(w) + "\\pichgoal" + number(h) +
                    "\\picscalex34\\picscaley20\n";
    s.reserve(s.size() + metafile.size() * 2 + 1);
    for (std::uint8_t byte : metafile) s += hexByte(byte);
    s += "}";
    return put(document, s) ? kRtfSuccess : kRtfPictureFailed;
}

int rtfStartRow(RtfDocument& document) {
    const RtfRowFormat& r = document.rowFormat;
    const std::string s = "\n\\trowd\\trgaph115" +
                          choice({"\\trql", "\\trqc", "\\trqr"}, r.alignment + 1) + "\\trleft" +
                          number(r.leftPosition) + "\\trrh" + number(r.rowHeight) + "\\trpaddb" +
                          number(r.paddingBottom) + "\\trpaddfb3\\trpaddl" + number(r.paddingLeft) +
                          "\\trpaddfl3\\trpaddr" + number(r.paddingRight) + "\\trpaddfr3\\trpaddt" +
                          number(r.paddingTop) + "\\trpaddft3";
    return put(document, s) ? kRtfSuccess : kRtfTableFailed;
}

int rtfEndRow(RtfDocument& document) {
    return put(document, "\n\\trgaph115\\row\\pard") ? kRtfSuccess : kRtfTableFailed;
}

int rtfStartCell(RtfDocument& document, int rightEdge) {
    const RtfCellFormat& c = document.cellFormat;
    std::string s = "\n\\tcelld";
    s += choice({"\\clvertalt", "\\clvertalc", "\\clvertalb"}, c.verticalAlignment + 1);
    s += choice({"\\cltxlrtb", "\\cltxtbrl", "\\cltxbtlr", "\\cltxlrtbv", "\\cltxtbrlv"},
                c.textFlow + 1);
    s += cellBorder("\\clbrdrb", c.bottom);
    s += cellBorder("\\clbrdrl", c.left);
    s += cellBorder("\\clbrdrr", c.right);
    s += cellBorder("\\clbrdrt", c.top);
    if (c.shadingOn)
        s += std::string(wordAt(kCellPatternWords, c.shadingPattern)) + "\\clshdgn" +
             number(c.shadingPercentage) + "\\clcfpat" + number(c.patternForeground) + "\\clcbpat" +
             number(c.patternBackground);
    s += "\\cellx" + number(rightEdge);
    return put(document, s) ? kRtfSuccess : kRtfTableFailed;
}

int rtfEndCell(RtfDocument& document) {
    return put(document, "\n\\cell ") ? kRtfSuccess : kRtfTableFailed;
}

}  // namespace relatix
