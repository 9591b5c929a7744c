// Builds the getting-started guide of the program folder from its Markdown source:
// the PDF (laid out by QTextDocument, written by QPdfWriter) and a self-contained
// HTML page whose screenshots are embedded as data addresses.
//
//   make_guide GUIDE.md IMAGES_FOLDER OUT.pdf OUT.html
//
// An image of the source, "![caption](images/NAME.png)", is read from
// IMAGES_FOLDER/NAME.png; a missing image stops the build, so the guide never
// ships with a hole where a window should be.
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QTextTableFormat>
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

// The widest an image may be drawn, in the document's units (1/96 inch): the
// text width of an A4 page with the writer's 5 mm margins and the 2 cm that
// QTextDocument::print adds on every side.
constexpr double kTextWidth = 600;
// The tallest, so that a long window leaves room for its text on the page.
constexpr double kImageHeight = 520;

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

// Puts a completely written file in place of the old one, so that a failed
// build never leaves a cut guide in the program folder.
bool replaceWith(const QString& written, const QString& path) {
    QFile::remove(path);
    return QFile::rename(written, path);
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    const QString part = path + ".part";
    {
        QFile file(part);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size() || !file.flush())
            return false;
    }
    return replaceWith(part, path);
}

struct GuideImage {
    QImage image;
    QByteArray png;
};

// Loads every image the document names and gives each a size that fits the page.
// Returns false after naming the first image that cannot be read.
bool resolveImages(QTextDocument& document, const QString& folder,
                   std::map<QString, GuideImage>& images) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QString name = format.name();
            if (!images.count(name)) {
                const QString path = folder + "/" + QFileInfo(name).fileName();
                GuideImage loaded;
                QFile file(path);
                if (file.open(QIODevice::ReadOnly)) loaded.png = file.readAll();
                loaded.image.loadFromData(loaded.png);
                if (loaded.image.isNull()) {
                    std::fprintf(stderr, "make_guide: the image %s cannot be read\n",
                                 qPrintable(path));
                    return false;
                }
                document.addResource(QTextDocument::ImageResource, QUrl(name), loaded.image);
                images[name] = loaded;
            }
            const QImage& image = images[name].image;
            // Screenshots are taken at the screen's scale; a picture wider than
            // the text or taller than kImageHeight is shrunk, keeping its
            // proportions.
            const double width = std::min<double>(
                {double(image.width()), kTextWidth, kImageHeight * image.width() / image.height()});
            format.setWidth(width);
            format.setHeight(width * image.height() / image.width());
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
    return true;
}

// Under each picture that stands alone in its paragraph, its alternative text as
// a caption in small italics, indented as the picture is.
void addCaptions(QTextDocument& document) {
    struct Caption {
        int position;  // the end of the picture's block
        QString text;
        QTextBlockFormat format;
    };
    std::vector<Caption> captions;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        auto it = block.begin();
        if (it.atEnd()) continue;
        const QTextFragment fragment = it.fragment();
        ++it;
        if (!it.atEnd() || !fragment.charFormat().isImageFormat()) continue;
        const QString text =
            fragment.charFormat().property(QTextFormat::ImageAltText).toString().trimmed();
        if (text.isEmpty()) continue;
        QTextBlockFormat format;
        format.setIndent(block.blockFormat().indent());
        format.setLeftMargin(block.blockFormat().leftMargin());
        if (QTextList* list = block.textList())
            format.setIndent(format.indent() + list->format().indent());
        format.setTopMargin(2);
        format.setBottomMargin(10);
        captions.push_back({block.position() + block.length() - 1, text, format});
    }
    QTextCharFormat italic;
    italic.setFontItalic(true);
    italic.setFontPointSize(9);
    for (auto caption = captions.rbegin(); caption != captions.rend(); ++caption) {
        QTextCursor cursor(&document);
        cursor.setPosition(caption->position);
        cursor.insertBlock(caption->format, italic);
        cursor.insertText(caption->text, italic);
    }
}

// Each main section starts a page of the PDF, and headings keep some room above.
void styleHeadings(QTextDocument& document) {
    bool first = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 0) continue;
        QTextBlockFormat format = block.blockFormat();
        format.setTopMargin(level <= 2 ? 14 : 10);
        if (level == 2 && !first) format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        if (level == 2) first = false;
        QTextCursor(block).setBlockFormat(format);
    }
}

// Code blocks get a light background and wrap a line that is wider than the
// page instead of running past its edge.
void styleCodeBlocks(QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (!format.hasProperty(QTextFormat::BlockCodeFence)) continue;
        format.setNonBreakableLines(false);
        format.setBackground(QColor(0xf2, 0xf2, 0xf2));
        QTextCursor(block).setBlockFormat(format);
    }
}

// Tables of the Markdown source get thin borders and some padding in both forms.
void styleTables(QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        if (QTextTable* table = cursor.currentTable()) {
            QTextTableFormat format = table->format();
            if (format.border() == 1 && format.cellPadding() == 4) continue;
            format.setBorder(1);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setBorderCollapse(true);
            format.setCellPadding(4);
            format.setCellSpacing(0);
            table->setFormat(format);
            // The header row in bold, every cell's text at its top.
            for (int row = 0; row < table->rows(); ++row)
                for (int column = 0; column < table->columns(); ++column) {
                    QTextTableCell cell = table->cellAt(row, column);
                    QTextCharFormat cellFormat = cell.format();
                    cellFormat.setVerticalAlignment(QTextCharFormat::AlignTop);
                    cell.setFormat(cellFormat);
                    if (row == 0) {
                        QTextCursor text = cell.firstCursorPosition();
                        text.setPosition(cell.lastCursorPosition().position(),
                                         QTextCursor::KeepAnchor);
                        QTextCharFormat bold;
                        bold.setFontWeight(QFont::Bold);
                        text.mergeCharFormat(bold);
                    }
                }
        }
    }
}

// The HTML form: the document's own HTML (which carries the title) with every
// picture inside it, so that the one file opens anywhere, and a column of
// readable width in a browser.
QByteArray htmlForm(const QTextDocument& document, const std::map<QString, GuideImage>& images) {
    QString html = document.toHtml();
    for (const auto& [name, image] : images) {
        const QString data = "data:image/png;base64," + QString::fromLatin1(image.png.toBase64());
        html.replace("src=\"" + name + "\"", "src=\"" + data + "\"");
    }
    html.replace("</head>",
                 "<style type=\"text/css\">body { max-width: 52em; margin: 1em auto; "
                 "padding: 0 1em; }</style></head>");
    return html.toUtf8();
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: make_guide GUIDE.md IMAGES_FOLDER OUT.pdf OUT.html\n");
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString imageFolder = QString::fromLocal8Bit(argv[2]);
    const QString pdfPath = QString::fromLocal8Bit(argv[3]);
    const QString htmlPath = QString::fromLocal8Bit(argv[4]);

    const QString markdown = readText(source);
    if (markdown.isEmpty()) {
        std::fprintf(stderr, "make_guide: %s cannot be read\n", qPrintable(source));
        return 1;
    }
    QTextDocument document;
    QFont font("DejaVu Sans");
    font.setPointSizeF(10);
    document.setDefaultFont(font);
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    std::map<QString, GuideImage> images;
    if (!resolveImages(document, imageFolder, images)) return 1;
    addCaptions(document);
    styleTables(document);
    styleHeadings(document);
    styleCodeBlocks(document);
    const QString title = document.begin().text();
    document.setMetaInformation(QTextDocument::DocumentTitle, title);

    const QByteArray html = htmlForm(document, images);
    if (!writeBytes(htmlPath, html)) {
        std::fprintf(stderr, "make_guide: %s cannot be written\n", qPrintable(htmlPath));
        return 1;
    }

    const QString pdfPart = pdfPath + ".part";
    {
        QPdfWriter writer(pdfPart);
        writer.setTitle(title);
        writer.setCreator("Relatix2 make_guide");
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter));
        writer.setResolution(300);
        document.print(&writer);
    }
    if (QFileInfo(pdfPart).size() == 0 || !replaceWith(pdfPart, pdfPath)) {
        std::fprintf(stderr, "make_guide: %s was not written\n", qPrintable(pdfPath));
        return 1;
    }
    return 0;
}
