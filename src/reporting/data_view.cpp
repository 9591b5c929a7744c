#include "reporting/data_view.h"

#include <algorithm>
#include <cctype>

#include "core/core.h"
#include "core/decimal_text.h"
#include "platform/trace_file.h"

namespace relatix {

namespace {

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// A genotype cell: "a, b"; a single allele shows twice, a missing first one as "-".
std::string genotypeCell(const Person& person, const std::string& marker) {
    for (const DnaObservation& dna : person.dna) {
        if (dna.markerName != marker) continue;
        if (dna.allele1.empty() && dna.allele2.empty()) return {};
        if (dna.allele2.empty()) return dna.allele1 + ", " + dna.allele1;
        return (dna.allele1.empty() ? std::string("-") : dna.allele1) + ", " + dna.allele2;
    }
    return {};
}

}  // namespace

bool DataViewFilter::passes(int markerChromosome, const std::string& marker) const {
    if (chromosome != "All" && chromosome != std::to_string(markerChromosome)) return false;
    return name.empty() || equalIgnoringCase(name, marker);
}

std::vector<std::string> dataViewChromosomes() {
    std::vector<std::string> choices = {"All"};
    for (int c = 1; c <= 22; ++c) choices.push_back(std::to_string(c));
    return choices;
}

DataViewTable dnaDataView(const Core& core, const std::vector<Person>& persons,
                          const DataViewFilter& filter) {
    DataViewTable table;
    table.columns = {{"Marker", 80}, {"Chr", 40}};
    std::vector<std::string> gender = {"Gender", ""};
    for (size_t p = 0; p < persons.size(); ++p) {
        table.columns.push_back({std::to_string(p + 1) + ". " + persons[p].name, 80});
        gender.push_back(persons[p].isMale ? "Male" : "Female");
    }
    table.rows.push_back(std::move(gender));
    for (const Marker& marker : core.markerMap.markers) {
        if (!filter.passes(marker.chromosome, marker.name)) continue;
        std::vector<std::string> row = {marker.name, std::to_string(marker.chromosome)};
        for (const Person& person : persons) row.push_back(genotypeCell(person, marker.name));
        table.rows.push_back(std::move(row));
    }
    return table;
}

DataViewTable markerRatioView(const Core& core, int row, const DataViewFilter& filter) {
    DataViewTable table;
    table.columns = {
        {"Marker", 80}, {"Chr", 40}, {"Position", 70}, {"Accumulated LR", 90}, {"Marginal LR", 70}};
    const GenotypeTable& genotypes = core.genotypeTable;
    for (int p = 0; p < genotypes.personCount; ++p) {
        const std::string name =
            static_cast<size_t>(p) < genotypes.personNames.size() ? genotypes.personNames[p] : "";
        table.columns.push_back({name.empty() ? std::string("NN") : name, 70});
    }
    table.status = markerRatios(core, row, core.referenceHypothesis, table.ratios);
    if (!table.status) return table;

    TraceFile trace("ViewData");
    const auto& markers = table.ratios.markers;
    double lastKept = 1.0;
    double product = 1.0;
    for (size_t i = 0; i < markers.size();) {
        // One row per cluster: its first marker's name and place, the ratio after
        // its last marker and the product of its markers' own ratios.
        const int cluster = markers[i].cluster;
        const MarkerRatio& first = markers[i];
        double accumulated = first.accumulated;
        double marginal = 1.0;
        for (; i < markers.size() && markers[i].cluster == cluster; ++i) {
            const MarkerRatio& m = markers[i];
            const double own = m.skipped ? 1.0 : m.marginal.value_or(1.0);
            accumulated = m.accumulated;
            marginal *= own;
            product *= own;
            if (m.skipped) {
                trace << "Marker skipped\r\n";
            } else {
                lastKept = m.accumulated;
                trace << "LR: " << own << "\r\nLR(acc): " << lastKept << "\r\nLR(Mar): " << product
                      << "\r\n";
            }
        }
        if (!filter.passes(first.chromosome, first.marker)) continue;
        std::vector<std::string> cells = {
            first.marker, std::to_string(first.chromosome), formatFixed(first.position, 2),
            formatGeneral(accumulated, 2), formatGeneral(marginal, 2)};
        const size_t c = static_cast<size_t>(cluster);
        for (int p = 0; p < genotypes.personCount; ++p) {
            std::string cell;
            if (c < genotypes.alleleTexts.size() && !genotypes.alleleTexts[c].empty() &&
                static_cast<size_t>(p) < genotypes.alleleTexts[c][0].size()) {
                const auto& slots = genotypes.alleleTexts[c][0][static_cast<size_t>(p)];
                if (slots[0] != "-1" && slots[1] != "-1") cell = slots[0] + "," + slots[1];
            }
            cells.push_back(cell);
        }
        table.rows.push_back(std::move(cells));
    }
    std::vector<std::string> total = {"Total", "", "", formatGeneral(lastKept, 5),
                                      formatGeneral(product, 5)};
    total.resize(table.columns.size());
    table.rows.push_back(std::move(total));
    return table;
}

}  // namespace relatix
