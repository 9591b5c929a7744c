#include "saved_plot.h"

#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>
#include <QPainter>

namespace relatix {

void SavedPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintPlot(painter, size());
}

bool SavedPlot::saveTo(const QString& path) const {
    if (path.endsWith(".svg", Qt::CaseInsensitive)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
        const std::string svg = svgDocument(width(), height());
        return file.write(svg.data(), static_cast<qint64>(svg.size())) ==
                   static_cast<qint64>(svg.size()) &&
               file.flush();
    }
    QImage image(size() * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    QPainter painter(&image);
    painter.setFont(font());
    paintPlot(painter, size());
    painter.end();
    return image.save(path, "PNG");
}

void SavedPlot::saveWithDialog(const QString& defaultName) {
    QString selected;
    const QString path = QFileDialog::getSaveFileName(
        this, "Save plot", defaultName, "PNG image (*.png);;SVG image (*.svg)", &selected);
    if (path.isEmpty()) return;
    QString target = path;
    if (!target.contains('.')) target += selected.startsWith("SVG") ? ".svg" : ".png";
    if (!saveTo(target))
        QMessageBox::warning(const_cast<SavedPlot*>(this), "Error", "Could not write " + target);
}

}  // namespace relatix
