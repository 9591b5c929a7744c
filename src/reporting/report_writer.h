// The paragraph, heading and table steps both reports are made of, on top of the
// RTF writer: Courier New in colour 0 throughout, a new paragraph unless told
// otherwise, and the first failed write remembered so a report can say that its
// file was not written whole. The file replaces an earlier one only when written whole.
#pragma once

#include <string>
#include <vector>

#include "platform/status.h"
#include "reporting/rtf_document.h"

namespace relatix {

inline constexpr const char* kReportFontList = "Times New Roman;Arial;Courier New;";
inline constexpr const char* kReportColourList = "0;0;0;255;0;0;192;192;192";
inline constexpr int kReportFont = 2;

// Text sizes in half-points.
inline constexpr int kTitleSize = 37;
inline constexpr int kHeadingSize = 25;
inline constexpr int kSubheadingSize = 23;
inline constexpr int kTableHeaderSize = 21;
inline constexpr int kCaptionSize = 20;
inline constexpr int kBodySize = 18;
inline constexpr int kNoteSize = 15;

// One cell of a table row: its right edge in twips and its paragraphs.
struct ReportCell {
    int rightEdge = 0;
    std::vector<std::string> paragraphs;
};

class ReportWriter {
public:
    // Opens the document; ok() tells whether it could be opened.
    explicit ReportWriter(const std::string& path);

    bool ok() const { return failure_.empty(); }

    void paragraph(const std::string& text, int size, bool bold = false, bool centred = false);
    void empty(int size = kBodySize) { paragraph({}, size); }
    void heading(const std::string& text, int size = kHeadingSize) { paragraph(text, size, true); }
    // A new section that starts the next table block.
    void newSection();
    // A picture; a file that cannot be loaded is left out.
    void picture(const std::string& path, int size);
    void row(const std::vector<ReportCell>& cells, int size);

    // Closes the document: success when every step was written.
    Status close();

private:
    void check(int code, const char* what);
    // ": " and why the file failed, empty when the system gave no reason.
    std::string reason() const;

    RtfDocument document_;
    std::string path_;
    std::string failure_;
};

// "%.4f" cut after the third decimal, without rounding further; texts such as
// "inf" as printf writes them.
std::string threeDecimals(double value);
// The path with every backslash replaced by "/".
std::string forwardSlashes(std::string path);

}  // namespace relatix
