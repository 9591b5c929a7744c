#include "genome_ratio_plot.h"

#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>

namespace relatix {

namespace {

// Space between two chromosomes, in cM of the axis.
constexpr double kChromosomeGap = 10.0;

// Where the plot's parts lie in a picture of the given size.
struct Frame {
    QRectF area;
    double length = 1;  // cM of the whole axis
    double low = -1, high = 1;
    double x(double genome) const { return area.left() + area.width() * genome / length; }
    double y(double value) const {
        return area.bottom() - area.height() * (value - low) / (high - low);
    }
};

Frame frameOf(const GenomeRatioCurve& curve, QSizeF size, double em) {
    Frame frame;
    frame.area = QRectF(em * 4, em * 1.5, size.width() - em * 5, size.height() - em * 5);
    frame.length = curve.chromosomes.empty() ? 1.0 : std::max(curve.chromosomes.back().to, 1.0);
    frame.low = curve.low;
    frame.high = curve.high;
    return frame;
}

void paintCurve(QPainter& painter, const GenomeRatioCurve& curve, QSize size) {
    const double em = painter.fontMetrics().height();
    const Frame frame = frameOf(curve, size, em);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    // Chromosomes as alternating bands, numbered below the axis.
    for (size_t c = 0; c < curve.chromosomes.size(); ++c) {
        const ChromosomeSpan& span = curve.chromosomes[c];
        const QRectF band(QPointF(frame.x(span.from), frame.area.top()),
                          QPointF(frame.x(span.to), frame.area.bottom()));
        if (c % 2 == 0) painter.fillRect(band, QColor(235, 240, 248));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(band.left(), frame.area.bottom() + em * 0.2, band.width(), em),
                         Qt::AlignHCenter | Qt::AlignTop, QString::number(span.chromosome));
    }
    painter.setPen(QPen(Qt::gray, 1, Qt::DashLine));
    painter.drawLine(QPointF(frame.area.left(), frame.y(0)),
                     QPointF(frame.area.right(), frame.y(0)));
    painter.setPen(Qt::black);
    painter.drawRect(frame.area);
    for (int tick = static_cast<int>(frame.low); tick <= frame.high; ++tick)
        painter.drawText(QRectF(0, frame.y(tick) - em / 2, frame.area.left() - em * 0.3, em),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(tick));
    painter.drawText(QRectF(frame.area.left(), size.height() - em * 1.6, frame.area.width(), em),
                     Qt::AlignHCenter, "Chromosome (markers in map order)");
    painter.save();
    painter.translate(em * 0.8, frame.area.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-frame.area.height() / 2, -em / 2, frame.area.height(), em),
                     Qt::AlignCenter, "log10 LR");
    painter.restore();
    painter.drawText(QRectF(frame.area.left(), 0, frame.area.width(), em * 1.4),
                     Qt::AlignHCenter | Qt::AlignVCenter,
                     "Accumulated likelihood ratio along the genome");
    // The accumulated ratio as steps from marker to marker.
    QPainterPath path;
    double y = frame.y(0);
    path.moveTo(frame.area.left(), y);
    for (const GenomePoint& point : curve.points) {
        path.lineTo(frame.x(point.x), y);
        y = frame.y(point.log10Ratio);
        path.lineTo(frame.x(point.x), y);
    }
    painter.setPen(QPen(QColor(31, 119, 180), 2));
    painter.drawPath(path);
    for (const GenomePoint& point : curve.points) {
        painter.setBrush(point.skipped ? QColor(Qt::white) : QColor(31, 119, 180));
        painter.drawEllipse(QPointF(frame.x(point.x), frame.y(point.log10Ratio)), 3, 3);
    }
}

}  // namespace

GenomeRatioCurve genomeRatioCurve(const MarkerRatios& ratios) {
    GenomeRatioCurve curve;
    double offset = 0;
    double lowest = 0, highest = 0;
    std::vector<double> finite;
    for (const MarkerRatio& ratio : ratios.markers)
        if (ratio.accumulated > 0 && std::isfinite(ratio.accumulated))
            finite.push_back(std::log10(ratio.accumulated));
    for (double v : finite) {
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
    }
    curve.low = std::floor(lowest) - (lowest == std::floor(lowest) ? 1 : 0);
    curve.high = std::ceil(highest) + (highest == std::ceil(highest) ? 1 : 0);
    for (const MarkerRatio& ratio : ratios.markers) {
        if (curve.chromosomes.empty() || curve.chromosomes.back().chromosome != ratio.chromosome) {
            if (!curve.chromosomes.empty()) offset = curve.chromosomes.back().to + kChromosomeGap;
            curve.chromosomes.push_back({ratio.chromosome, offset, offset});
        }
        ChromosomeSpan& span = curve.chromosomes.back();
        const double x = span.from + std::max(ratio.position, 0.0);
        span.to = std::max(span.to, x + 1.0);
        double value;
        if (ratio.accumulated <= 0)
            value = curve.low;
        else if (!std::isfinite(ratio.accumulated))
            value = curve.high;
        else
            value = std::log10(ratio.accumulated);
        curve.points.push_back({x, value, ratio.skipped});
    }
    return curve;
}

std::string genomeRatioSvg(const GenomeRatioCurve& curve, int width, int height) {
    const double em = 14;
    const Frame frame = frameOf(curve, QSizeF(width, height), em);
    std::ostringstream svg;
    svg.imbue(std::locale::classic());
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" font-family=\"sans-serif\" font-size=\"11\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    for (size_t c = 0; c < curve.chromosomes.size(); ++c) {
        const ChromosomeSpan& span = curve.chromosomes[c];
        if (c % 2 == 0)
            svg << "<rect x=\"" << frame.x(span.from) << "\" y=\"" << frame.area.top()
                << "\" width=\"" << frame.x(span.to) - frame.x(span.from) << "\" height=\""
                << frame.area.height() << "\" fill=\"#ebf0f8\"/>\n";
        svg << "<text x=\"" << (frame.x(span.from) + frame.x(span.to)) / 2 << "\" y=\""
            << frame.area.bottom() + em << "\" text-anchor=\"middle\">" << span.chromosome
            << "</text>\n";
    }
    svg << "<rect x=\"" << frame.area.left() << "\" y=\"" << frame.area.top() << "\" width=\""
        << frame.area.width() << "\" height=\"" << frame.area.height()
        << "\" fill=\"none\" stroke=\"black\"/>\n";
    for (int tick = static_cast<int>(frame.low); tick <= frame.high; ++tick)
        svg << "<text x=\"" << frame.area.left() - 6 << "\" y=\"" << frame.y(tick) + 4
            << "\" text-anchor=\"end\">" << tick << "</text>\n";
    svg << "<text x=\"" << frame.area.center().x() << "\" y=\"" << height - em * 0.8
        << "\" text-anchor=\"middle\">Chromosome (markers in map order)</text>\n"
        << "<text transform=\"translate(" << em << "," << frame.area.center().y()
        << ") rotate(-90)\" text-anchor=\"middle\">log10 LR</text>\n"
        << "<text x=\"" << frame.area.center().x() << "\" y=\"" << em
        << "\" text-anchor=\"middle\">Accumulated likelihood ratio along the genome</text>\n"
        << "<polyline fill=\"none\" stroke-width=\"2\" stroke=\"#1f77b4\" points=\""
        << frame.area.left() << ',' << frame.y(0);
    double y = frame.y(0);
    for (const GenomePoint& point : curve.points) {
        svg << ' ' << frame.x(point.x) << ',' << y;
        y = frame.y(point.log10Ratio);
        svg << ' ' << frame.x(point.x) << ',' << y;
    }
    svg << "\"/>\n</svg>\n";
    return svg.str();
}

GenomeRatioPlot::GenomeRatioPlot(QWidget* parent) : SavedPlot(parent) {
    setMinimumSize(fontMetrics().height() * 30, fontMetrics().height() * 12);
}

QSize GenomeRatioPlot::sizeHint() const {
    return {fontMetrics().height() * 48, fontMetrics().height() * 16};
}

void GenomeRatioPlot::setRatios(const MarkerRatios& ratios) {
    curve_ = genomeRatioCurve(ratios);
    update();
}

void GenomeRatioPlot::paintPlot(QPainter& painter, QSize size) const {
    paintCurve(painter, curve_, size);
}

std::string GenomeRatioPlot::svgDocument(int width, int height) const {
    return genomeRatioSvg(curve_, width, height);
}

}  // namespace relatix
