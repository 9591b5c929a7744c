// The distribution of simulated likelihood ratios as exceedance curves:
// P(LR >= x) against log10 x, one curve per true pedigree, with a legend and
// axis titles; saved as PNG or SVG.
#pragma once

#include <QString>
#include <QWidget>
#include <string>
#include <vector>

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

class ExceedancePlot : public QWidget {
    Q_OBJECT
public:
    explicit ExceedancePlot(QWidget* parent);
    void setCurves(std::vector<ExceedanceCurve> curves);
    const std::vector<ExceedanceCurve>& curves() const { return curves_; }
    // Writes the plot as PNG, or as SVG when the name ends in ".svg".
    bool saveTo(const QString& path) const;
    void saveWithDialog();
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::vector<ExceedanceCurve> curves_;
};

}  // namespace relatix
