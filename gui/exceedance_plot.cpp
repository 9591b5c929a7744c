#include "exceedance_plot.h"

#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <optional>
#include <sstream>

#include "dialogs/simulation_results_presenter.h"

namespace relatix {
namespace {

const QColor kColours[] = {QColor(0, 90, 181), QColor(220, 50, 32), QColor(0, 140, 70),
                           QColor(150, 60, 170), QColor(200, 120, 0)};

// A finite stored log-likelihood; a missing or impossible one draws no point.
std::optional<double> logLikelihoodValue(const LogLikelihoods& set, size_t hypothesis) {
    if (hypothesis >= set.size() || !set[hypothesis] || !std::isfinite(*set[hypothesis]))
        return std::nullopt;
    return *set[hypothesis];
}

struct Range {
    double low = -1;
    double high = 1;
};

Range rangeOf(const std::vector<ExceedanceCurve>& curves) {
    bool any = false;
    Range range{0, 0};
    for (const ExceedanceCurve& curve : curves) {
        if (curve.log10Ratios.empty()) continue;
        if (!any) range = {curve.log10Ratios.front(), curve.log10Ratios.back()};
        range.low = std::min(range.low, curve.log10Ratios.front());
        range.high = std::max(range.high, curve.log10Ratios.back());
        any = true;
    }
    range.low = std::floor(range.low);
    range.high = std::ceil(range.high);
    if (range.high - range.low < 1) range.high = range.low + 1;
    return range;
}

// The steps of one curve: at each ratio x the fraction of ratios >= x.
std::vector<std::pair<double, double>> steps(const ExceedanceCurve& curve) {
    std::vector<std::pair<double, double>> points;
    const double n = static_cast<double>(curve.log10Ratios.size());
    for (size_t i = 0; i < curve.log10Ratios.size(); ++i)
        points.emplace_back(curve.log10Ratios[i], (n - static_cast<double>(i)) / n);
    return points;
}

// The one painting routine behind the window, the PNG file and the layout of the SVG.
struct Frame {
    QRectF area;
    Range range;
    double x(double value) const {
        return area.left() + (value - range.low) / (range.high - range.low) * area.width();
    }
    double y(double fraction) const { return area.bottom() - fraction * area.height(); }
};

Frame frameOf(const std::vector<ExceedanceCurve>& curves, QSizeF size, double em) {
    return {QRectF(em * 4.5, em * 1.5, size.width() - em * 6, size.height() - em * 5),
            rangeOf(curves)};
}

void paintCurves(QPainter& painter, const std::vector<ExceedanceCurve>& curves, QSizeF size) {
    const double em = painter.fontMetrics().height();
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    const Frame frame = frameOf(curves, size, em);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(frame.area);
    for (int tick = static_cast<int>(frame.range.low); tick <= frame.range.high; ++tick) {
        const double x = frame.x(tick);
        painter.drawLine(QPointF(x, frame.area.bottom()), QPointF(x, frame.area.bottom() + 4));
        painter.drawText(QRectF(x - em * 2, frame.area.bottom() + 4, em * 4, em),
                         Qt::AlignHCenter | Qt::AlignTop, QString::number(tick));
    }
    for (int i = 0; i <= 4; ++i) {
        const double y = frame.y(i / 4.0);
        painter.drawLine(QPointF(frame.area.left() - 4, y), QPointF(frame.area.left(), y));
        painter.drawText(QRectF(0, y - em / 2, frame.area.left() - 6, em),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(i / 4.0, 'g', 2));
    }
    painter.drawText(QRectF(frame.area.left(), size.height() - em * 1.8, frame.area.width(), em),
                     Qt::AlignHCenter, "log10 LR (x)");
    painter.save();
    painter.translate(em * 0.3, frame.area.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-frame.area.height() / 2, 0, frame.area.height(), em), Qt::AlignHCenter,
                     "P(LR >= x)");
    painter.restore();
    painter.setRenderHint(QPainter::Antialiasing);
    double legendY = frame.area.top() + em * 0.5;
    for (size_t c = 0; c < curves.size(); ++c) {
        const QColor colour = kColours[c % std::size(kColours)];
        QPainterPath path;
        const auto points = steps(curves[c]);
        if (!points.empty()) {
            path.moveTo(frame.x(frame.range.low), frame.y(1));
            for (const auto& [value, fraction] : points) {
                path.lineTo(frame.x(value), path.currentPosition().y());
                path.lineTo(frame.x(value), frame.y(fraction));
            }
            path.lineTo(path.currentPosition().x(), frame.y(0));
            path.lineTo(frame.x(frame.range.high), frame.y(0));
        }
        painter.setPen(QPen(colour, 2));
        painter.drawPath(path);
        const double legendX = frame.area.right() - em * 16;
        painter.drawLine(QPointF(legendX, legendY + em / 2),
                         QPointF(legendX + em * 1.5, legendY + em / 2));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(legendX + em * 2, legendY, em * 14, em),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromStdString(curves[c].label) +
                             QString(" (n=%1)").arg(curves[c].log10Ratios.size()));
        legendY += em * 1.2;
    }
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char ch : text) {
        if (ch == '&')
            out += "&amp;";
        else if (ch == '<')
            out += "&lt;";
        else if (ch == '>')
            out += "&gt;";
        else
            out += ch;
    }
    return out;
}

}  // namespace

std::vector<ExceedanceCurve> exceedanceCurves(const SimulationResultsPresenter& presenter) {
    const auto& sets = presenter.dataSets();
    std::vector<ExceedanceCurve> curves;
    if (sets.empty() || sets.front().empty()) return curves;
    const size_t k = sets.front().size();
    const size_t c = static_cast<size_t>(std::max(0, presenter.scale()));
    // The compared hypothesis, as in the statistics: the second one against the
    // first, otherwise the first against the scale pedigree.
    const size_t h = c == 0 ? 1 : 0;
    if (c >= k || h >= k) return curves;
    const auto names = presenter.scaleOptions();
    for (size_t t = 0; t < k; ++t) {
        ExceedanceCurve curve;
        curve.label = "True: " + (t < names.size() ? names[t] : std::to_string(t + 1));
        for (size_t set = t; set < sets.size(); set += k) {
            const auto& w = sets[set];
            const std::optional<double> numerator = logLikelihoodValue(w, h);
            const std::optional<double> denominator = logLikelihoodValue(w, c);
            if (!numerator || !denominator) continue;
            curve.log10Ratios.push_back((*numerator - *denominator) / std::log(10.0));
        }
        std::sort(curve.log10Ratios.begin(), curve.log10Ratios.end());
        curves.push_back(std::move(curve));
    }
    return curves;
}

std::string exceedanceSvg(const std::vector<ExceedanceCurve>& curves, int width, int height) {
    const double em = 14;
    const Frame frame = frameOf(curves, QSizeF(width, height), em);
    std::ostringstream svg;
    svg.imbue(std::locale::classic());
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" font-family=\"sans-serif\" font-size=\"11\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
        << "<rect x=\"" << frame.area.left() << "\" y=\"" << frame.area.top() << "\" width=\""
        << frame.area.width() << "\" height=\"" << frame.area.height()
        << "\" fill=\"none\" stroke=\"black\"/>\n";
    for (int tick = static_cast<int>(frame.range.low); tick <= frame.range.high; ++tick)
        svg << "<text x=\"" << frame.x(tick) << "\" y=\"" << frame.area.bottom() + em
            << "\" text-anchor=\"middle\">" << tick << "</text>\n";
    for (int i = 0; i <= 4; ++i)
        svg << "<text x=\"" << frame.area.left() - 6 << "\" y=\"" << frame.y(i / 4.0) + 4
            << "\" text-anchor=\"end\">" << i / 4.0 << "</text>\n";
    svg << "<text x=\"" << frame.area.center().x() << "\" y=\"" << height - em * 0.8
        << "\" text-anchor=\"middle\">log10 LR (x)</text>\n"
        << "<text transform=\"translate(" << em << "," << frame.area.center().y()
        << ") rotate(-90)\" text-anchor=\"middle\">P(LR &gt;= x)</text>\n";
    for (size_t c = 0; c < curves.size(); ++c) {
        const QColor colour = kColours[c % std::size(kColours)];
        const auto points = steps(curves[c]);
        svg << "<polyline fill=\"none\" stroke-width=\"2\" stroke=\"" << colour.name().toStdString()
            << "\" points=\"";
        double y = frame.y(1);
        svg << frame.x(frame.range.low) << ',' << y;
        for (const auto& [value, fraction] : points) {
            svg << ' ' << frame.x(value) << ',' << y;
            y = frame.y(fraction);
            svg << ' ' << frame.x(value) << ',' << y;
        }
        svg << "\"/>\n";
        svg << "<text x=\"" << frame.area.right() - em * 14 << "\" y=\""
            << frame.area.top() + em * (1.2 * static_cast<double>(c) + 1.2) << "\" fill=\""
            << colour.name().toStdString() << "\">" << escaped(curves[c].label)
            << " (n=" << curves[c].log10Ratios.size() << ")</text>\n";
    }
    svg << "</svg>\n";
    return svg.str();
}

ExceedancePlot::ExceedancePlot(QWidget* parent) : SavedPlot(parent) {
    setMinimumSize(fontMetrics().height() * 24, fontMetrics().height() * 14);
}

QSize ExceedancePlot::sizeHint() const {
    return {fontMetrics().height() * 36, fontMetrics().height() * 20};
}

void ExceedancePlot::setCurves(std::vector<ExceedanceCurve> curves) {
    curves_ = std::move(curves);
    update();
}

void ExceedancePlot::paintPlot(QPainter& painter, QSize size) const {
    paintCurves(painter, curves_, size);
}

std::string ExceedancePlot::svgDocument(int width, int height) const {
    return exceedanceSvg(curves_, width, height);
}

}  // namespace relatix
