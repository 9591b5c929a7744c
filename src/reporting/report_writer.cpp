#include "reporting/report_writer.h"

#include <algorithm>
#include <cmath>

#include "core/decimal_text.h"

namespace relatix {

ReportWriter::ReportWriter(const std::string& path) : path_(path) {
    const int code = rtfOpen(document_, kReportFontList, kReportColourList, path);
    if (code == kRtfCannotOpen)
        failure_ = "The report file " + path + " cannot be opened for writing" + reason();
    else
        check(code, "the document header");
}

std::string ReportWriter::reason() const {
    const std::string why = rtfError(document_);
    return why.empty() ? std::string() : ": " + why;
}

void ReportWriter::check(int code, const char* what) {
    if (code != kRtfSuccess && failure_.empty())
        failure_ = "The report file " + path_ + " could not be written (" + what + ")" + reason() +
                   "; any earlier file of that name is left as it was";
}

void ReportWriter::paragraph(const std::string& text, int size, bool bold, bool centred) {
    if (!ok()) return;
    RtfParagraphFormat& p = document_.paragraphFormat;
    p.inTable = false;
    p.alignment = centred ? 1 : 0;
    p.character.font = kReportFont;
    p.character.colour = 0;
    p.character.fontSize = size;
    p.character.bold = bold;
    check(rtfStartParagraph(document_, text, true), "a paragraph");
}

void ReportWriter::newSection() {
    if (!ok()) return;
    document_.sectionFormat.newSection = true;
    if (!rtfWriteSectionFormat(document_)) check(kRtfDocumentFormatFailed, "a section");
    document_.sectionFormat.newSection = false;
}

void ReportWriter::picture(const std::string& path, int size) {
    if (!ok()) return;
    RtfParagraphFormat& p = document_.paragraphFormat;
    p.inTable = false;
    p.alignment = 0;
    p.character.font = kReportFont;
    p.character.fontSize = size;
    p.character.bold = false;
    p.newParagraph = true;
    // A picture that cannot be decoded writes nothing; a failed write shows in
    // the file's state.
    const int code = rtfLoadImage(document_, path);
    if (code != kRtfSuccess && !rtfError(document_).empty()) check(code, "a picture");
}

void ReportWriter::row(const std::vector<ReportCell>& cells, int size) {
    if (!ok()) return;
    check(rtfStartRow(document_), "a table row");
    for (const ReportCell& cell : cells) check(rtfStartCell(document_, cell.rightEdge), "a cell");
    RtfParagraphFormat& p = document_.paragraphFormat;
    p.inTable = true;
    p.alignment = 0;
    p.character.font = kReportFont;
    p.character.colour = 0;
    p.character.fontSize = size;
    p.character.bold = false;
    for (const ReportCell& cell : cells) {
        // The first paragraph of a cell starts the cell itself; further ones follow it.
        if (cell.paragraphs.empty()) check(rtfStartParagraph(document_, {}, false), "a cell");
        for (size_t i = 0; i < cell.paragraphs.size(); ++i)
            check(rtfStartParagraph(document_, cell.paragraphs[i], i > 0), "a cell");
        check(rtfEndCell(document_), "a cell");
    }
    p.inTable = false;
    check(rtfEndRow(document_), "a table row");
}

Status ReportWriter::close() {
    if (!document_.file || !document_.file->isOpen()) return Status::failure(failure_);
    // A report cut short by a failure is dropped, not put in place.
    if (!ok()) {
        document_.file->discard();
        return Status::failure(failure_);
    }
    const int code = rtfClose(document_);
    check(code, "the end of the document");
    return ok() ? Status() : Status::failure(failure_);
}

std::string threeDecimals(double value) {
    std::string text = formatFixed(value, 4);
    if (!std::isfinite(value)) return text;
    text.pop_back();
    return text;
}

std::string forwardSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace relatix
