// A plot widget that paints itself at any size and saves itself as PNG (at
// twice the widget's pixels, for print) or as SVG; the plots of the program
// derive from it and supply the painting and the SVG document.
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>
#include <string>

class QPainter;

namespace relatix {

class SavedPlot : public QWidget {
    Q_OBJECT
public:
    explicit SavedPlot(QWidget* parent) : QWidget(parent) {}
    // Writes the plot as PNG, or as SVG when the name ends in ".svg", replacing
    // an earlier file only once complete; false with the reason in error.
    bool saveTo(const QString& path, QString* error = nullptr) const;
    // Asks for a file (PNG or SVG, `defaultName` first) and saves there; a file
    // that could not be written is said in a message box.
    void saveWithDialog(const QString& defaultName);

protected:
    virtual void paintPlot(QPainter& painter, QSize size) const = 0;
    virtual std::string svgDocument(int width, int height) const = 0;
    void paintEvent(QPaintEvent*) override;
};

}  // namespace relatix
