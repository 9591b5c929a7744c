// The accumulated log10 likelihood ratio along the genome: the markers in map
// order, laid out chromosome after chromosome by their positions, with the
// chromosomes marked, so that a user sees where the evidence comes from;
// saved as PNG or SVG.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "reporting/marker_ratios.h"
#include "saved_plot.h"

namespace relatix {

struct GenomePoint {
    double x = 0;  // cM along the genome, chromosomes end to end
    double log10Ratio = 0;
    bool skipped = false;
};

struct ChromosomeSpan {
    int chromosome = 0;
    double from = 0, to = 0;  // along the genome
};

struct GenomeRatioCurve {
    std::vector<GenomePoint> points;
    std::vector<ChromosomeSpan> chromosomes;
    double low = -1, high = 1;  // the y range, whole numbers around every value
};

// The curve of the ratios; a ratio of 0 or infinity is drawn at the range's edge.
GenomeRatioCurve genomeRatioCurve(const MarkerRatios& ratios);

// The SVG document of the plot at the given size.
std::string genomeRatioSvg(const GenomeRatioCurve& curve, int width, int height);

class GenomeRatioPlot : public SavedPlot {
    Q_OBJECT
public:
    explicit GenomeRatioPlot(QWidget* parent);
    void setRatios(const MarkerRatios& ratios);
    const GenomeRatioCurve& curve() const { return curve_; }
    QSize sizeHint() const override;

protected:
    void paintPlot(QPainter& painter, QSize size) const override;
    std::string svgDocument(int width, int height) const override;

private:
    GenomeRatioCurve curve_;
};

}  // namespace relatix
