// The distribution of simulated likelihood ratios as exceedance curves:
// P(LR >= x) against log10 x, one curve per true pedigree, with a legend and
// axis titles; saved as PNG or SVG.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "saved_plot.h"

class QPainter;

namespace relatix {

class SimulationResultsPresenter;

struct ExceedanceCurve {
    std::string label;
    std::vector<double> log10Ratios;  // ascending
};

// One curve per true pedigree for the presenter's method and scale pedigree: the
// ratio of the compared hypothesis against the scale one on each data set drawn
// under that pedigree; data sets without both values are left out.
std::vector<ExceedanceCurve> exceedanceCurves(const SimulationResultsPresenter& presenter);

// The SVG document of the plot at the given size.
std::string exceedanceSvg(const std::vector<ExceedanceCurve>& curves, int width, int height);

class ExceedancePlot : public SavedPlot {
    Q_OBJECT
public:
    explicit ExceedancePlot(QWidget* parent);
    void setCurves(std::vector<ExceedanceCurve> curves);
    const std::vector<ExceedanceCurve>& curves() const { return curves_; }
    QSize sizeHint() const override;

protected:
    void paintPlot(QPainter& painter, QSize size) const override;
    std::string svgDocument(int width, int height) const override;

private:
    std::vector<ExceedanceCurve> curves_;
};

}  // namespace relatix
