#include "saved_plot.h"

#include <QBuffer>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <ostream>

#include "platform/atomic_file.h"

namespace relatix {

void SavedPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintPlot(painter, size());
}

bool SavedPlot::saveTo(const QString& path, QString* error) const {
    // The whole picture is made first and then written in one go, replacing an
    // earlier file only once complete.
    std::string bytes;
    if (path.endsWith(".svg", Qt::CaseInsensitive)) {
        bytes = svgDocument(width(), height());
    } else {
        QImage image(size() * 2, QImage::Format_RGB32);
        image.setDevicePixelRatio(2);
        QPainter painter(&image);
        painter.setFont(font());
        paintPlot(painter, size());
        painter.end();
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG")) {
            if (error) *error = "the picture could not be encoded";
            return false;
        }
        bytes.assign(png.constData(), static_cast<size_t>(png.size()));
    }
    std::string why;
    const bool written = writeFileAtomically(
                             path.toStdString(), [&bytes](std::ostream& out) { out << bytes; },
                             &why) == AtomicWriteStatus::Written;
    if (!written && error) *error = QString::fromStdString(why);
    return written;
}

void SavedPlot::saveWithDialog(const QString& defaultName) {
    QString selected;
    const QString path = QFileDialog::getSaveFileName(
        this, "Save plot", defaultName, "PNG image (*.png);;SVG image (*.svg)", &selected);
    if (path.isEmpty()) return;
    QString target = path;
    if (!target.contains('.')) target += selected.startsWith("SVG") ? ".svg" : ".png";
    QString why;
    if (!saveTo(target, &why))
        QMessageBox::warning(const_cast<SavedPlot*>(this), "Error",
                             "Could not write " + target + (why.isEmpty() ? "" : ": " + why));
}

}  // namespace relatix
