#include "reporting/case_report.h"

#include <cmath>
#include <optional>

#include "core/catalogue.h"
#include "core/core.h"
#include "core/decimal_text.h"
#include "linkage/likelihood_ratios.h"
#include "persistence/pedigree_plot_script.h"
#include "platform/clock.h"
#include "reporting/report_writer.h"

namespace relatix {
namespace {

std::string optionalText(const std::optional<double>& value, std::string (*format)(double, int),
                         int digits) {
    return value ? format(*value, digits) : std::string("NA");
}

const Population* activePopulationOf(const Core& core) {
    return core.populationAt(core.activePopulation);
}

const Marker* populationMarker(const Population* population, const std::string& name) {
    if (!population) return nullptr;
    for (const Marker& marker : population->markers)
        if (marker.name == name) return &marker;
    return nullptr;
}

void pedigreeSection(ReportWriter& report, const Core& core) {
    report.empty();
    report.empty();
    const int n = core.hypothesisCount();
    if (core.mainHypothesis == kCreatedPedigrees) {
        report.heading("Created pedigrees");
        const std::vector<Person>& persons = core.genotypeTable.pedigreePersons;
        auto personName = [&](int position) {
            return position >= 1 && position <= static_cast<int>(persons.size())
                       ? persons[static_cast<size_t>(position - 1)].name
                       : std::string();
        };
        for (int k = 1; k <= n; ++k) {
            const Pedigree& pedigree = core.createdPedigrees[static_cast<size_t>(k - 1)];
            report.empty();
            report.paragraph("Pedigree " + std::to_string(k) + " : (" + pedigree.name + ")",
                             kBodySize);
            report.empty();
            // A case never saved has no plots of its pedigrees.
            const std::string picture = pedigreeImagePath(core, pedigree.name, ".jpg");
            if (!picture.empty()) report.picture(picture, kBodySize);
            report.row({{2000, {"Parent"}}, {4000, {"Child"}}}, kBodySize);
            for (const Relation& relation : pedigree.relations)
                report.row(
                    {{2000, {personName(relation.parent)}}, {4000, {personName(relation.child)}}},
                    kBodySize);
        }
        return;
    }
    if (core.mainHypothesis < 0) return;
    report.heading("Pedigrees");
    report.paragraph(
        "NB! The genders of the individuals depicted in the pedigrees (illustrations) may not "
        "correspond to the specified genders. Please see table of persons for correct gender",
        kNoteSize);
    for (int k = 1; k <= n; ++k) {
        const int code = hypothesisCode(core, k);
        report.empty(kCaptionSize);
        report.paragraph("Pedigree " + std::to_string(k) + " : (" + catalogueName(code) + ")",
                         kCaptionSize);
        report.empty(kCaptionSize);
        report.picture(core.programDirectory + "/Pictures/ped" + std::to_string(code) + ".jpg",
                       kCaptionSize);
    }
}

void personsSection(ReportWriter& report, const Core& core) {
    report.empty();
    report.empty();
    report.heading("Persons");
    report.newSection();
    const GenotypeTable& table = core.genotypeTable;
    const int persons = table.personCount;
    auto edge = [](int l) { return 3300 + 2000 * (l - 1); };
    std::vector<ReportCell> header = {{1300, {}}};
    // The table's own names and sexes where it has them (a legacy file's table),
    // otherwise those of the case's persons the table was built from.
    const std::vector<Person>& source =
        core.mainHypothesis == kCreatedPedigrees ? table.pedigreePersons : core.persons;
    for (int l = 1; l <= persons; ++l) {
        const size_t i = static_cast<size_t>(l - 1);
        const Person* person = i < source.size() ? &source[i] : nullptr;
        std::string name = i < table.personNames.size() ? table.personNames[i] : std::string();
        if (name.empty() && person) name = person->name;
        if (name.empty()) name = "NN";
        const int code = i < table.sexCodes.size() ? table.sexCodes[i] : 0;
        const bool female = code == 2 || (code != 1 && person && !person->isMale);
        header.push_back(
            {edge(l), {std::to_string(l) + ". " + name, female ? "(Female)" : "(Male)"}});
    }
    report.row(header, kBodySize);
    auto shown = [](std::string allele) {
        return allele == kUnknownAllele ? std::string() : allele;
    };
    const std::vector<std::string>& names = core.clusterDatabase.clusterNames;
    for (int c = 1; c <= table.clusterCount(); ++c) {
        const size_t i = static_cast<size_t>(c - 1);
        std::vector<ReportCell> cells = {{1300, {i < names.size() ? names[i] : std::string()}}};
        for (int l = 1; l <= persons; ++l)
            cells.push_back({edge(l),
                             {shown(table.alleleText(c, 1, l, 1)) + "," +
                              shown(table.alleleText(c, 1, l, 2))}});
        report.row(cells, kBodySize);
    }
}

void resultsSection(ReportWriter& report, const Core& core, const std::string& heading,
                    const LogLikelihoods& results, bool available) {
    report.empty();
    report.heading(heading);
    report.newSection();
    const int n = core.hypothesisCount();
    const int reference = core.referenceHypothesis;
    // Hypotheses without a value show "NA"; the posteriors (flat priors) are
    // taken over those that have one.
    LogLikelihoods values(static_cast<size_t>(std::max(n, 0)),
                          LogLikelihood::missing("not computed"));
    for (int i = 0; available && i < n && i < static_cast<int>(results.size()); ++i)
        values[static_cast<size_t>(i)] = results[static_cast<size_t>(i)];
    const auto ratios = likelihoodRatios(values, reference + 1);
    const auto posteriors = posteriorProbabilities(values, std::vector<double>(values.size(), 1.0));
    report.row({{4000, {"Pedigree"}},
                {6000, {"lnLikelihood"}},
                {8000, {"LR versus pedigree " + std::to_string(reference + 1) + " (W)"}}},
               kBodySize);
    for (int i = 0; i < n; ++i) {
        const size_t k = static_cast<size_t>(i);
        const std::string ln = optionalText(values[k], formatFixed, 4);
        const std::string lr = optionalText(ratios[k], formatGeneral, 4) + " (" +
                               optionalText(posteriors[k], formatGeneral, 8) + ")";
        report.row({{4000, {"Pedigree " + std::to_string(i + 1)}}, {6000, {ln}}, {8000, {lr}}},
                   kBodySize);
    }
}

// The position in a hypothesis's per-system values of the last system of each
// cluster, where the cumulative value of the cluster stands.
std::vector<size_t> clusterEnds(const Core& core) {
    std::vector<size_t> ends;
    size_t position = 0;
    for (const Cluster& cluster : core.clusterDatabase.clusters) {
        position += cluster.systems.size();
        ends.push_back(position == 0 ? 0 : position - 1);
    }
    return ends;
}

void perMarkerSection(ReportWriter& report, const Core& core) {
    report.empty();
    report.heading("LR* per marker (Likelihood)");
    report.newSection();
    const int n = core.hypothesisCount();
    const int reference = core.referenceHypothesis;
    std::vector<ReportCell> header = {{3000, {"Marker"}}};
    for (int j = 0; j < n; ++j)
        header.push_back({5000 + 2000 * j, {"LR for ped " + std::to_string(j + 1)}});
    report.row(header, kBodySize);

    const auto& c = core.exactMarkerResults;
    auto hasValues = [&](int j) {
        return j >= 0 && j < static_cast<int>(c.size()) &&
               j < static_cast<int>(core.exactResults.size()) &&
               core.exactResults[static_cast<size_t>(j)].has_value();
    };
    const bool referenceKnown = hasValues(reference);
    const std::vector<size_t> ends = clusterEnds(core);
    // The running value of each hypothesis, kept as ln of the accumulated ratio
    // so that a long chain of large ratios never overflows.
    std::vector<double> previous(static_cast<size_t>(std::max(n, 0)), 0.0);
    const std::vector<std::string>& names = core.clusterDatabase.clusterNames;
    for (size_t k = 0; k < core.clusterDatabase.clusters.size(); ++k) {
        std::vector<ReportCell> cells = {{3000, {k < names.size() ? names[k] : std::string()}}};
        const bool skipped = k < core.markerSkipped.size() && core.markerSkipped[k];
        for (int j = 0; j < n; ++j) {
            std::string text = "NA";
            const size_t at = ends[k];
            if (!skipped && referenceKnown && hasValues(j) &&
                core.clusterDatabase.clusters[k].systems.size() > 0 &&
                at < c[static_cast<size_t>(j)].size() &&
                at < c[static_cast<size_t>(reference)].size()) {
                const double d =
                    c[static_cast<size_t>(j)][at] - c[static_cast<size_t>(reference)][at];
                text = formatGeneral(std::exp(d - previous[static_cast<size_t>(j)]), 4);
                previous[static_cast<size_t>(j)] = d;
            }
            cells.push_back({5000 + 2000 * j, {text}});
        }
        report.row(cells, kBodySize);
    }
    report.paragraph(
        "*The LR is computed as the marginal value, i.e. the increase in LR for each consecutive "
        "marker in the Markov chain",
        kNoteSize);
    report.empty();
}

void systemsSection(ReportWriter& report, const Core& core) {
    report.heading("Systems");
    const Population* population = activePopulationOf(core);
    auto general = [](double v) { return formatGeneral(v, 6); };
    // Without mutation the settings are listed, but no calculation used them.
    const std::string unused = core.mutationsOff ? " (not used)" : "";
    for (const Marker& mapMarker : core.markerMap.markers) {
        const Marker* marker = populationMarker(population, mapMarker.name);
        if (!marker) continue;
        report.empty();
        report.paragraph(mapMarker.name, kSubheadingSize, true);
        report.paragraph("Chromosome: " + std::to_string(mapMarker.chromosome), kBodySize);
        report.paragraph("Genetic position (cM): " + threeDecimals(mapMarker.position), kBodySize);
        report.paragraph(
            "Male mutation model: " + std::to_string(mapMarker.maleMutation.model) + unused,
            kBodySize);
        report.paragraph("Male mutation rate: " + general(mapMarker.maleMutation.rate) + unused,
                         kBodySize);
        report.paragraph("Male mutation range: " + general(mapMarker.maleMutation.range) + unused,
                         kBodySize);
        report.paragraph(
            "Female mutation model: " + std::to_string(mapMarker.femaleMutation.model) + unused,
            kBodySize);
        report.paragraph("Female mutation rate: " + general(mapMarker.femaleMutation.rate) + unused,
                         kBodySize);
        report.paragraph(
            "Female mutation range: " + general(mapMarker.femaleMutation.range) + unused,
            kBodySize);
        report.empty();
        report.row({{2000, {"Allele"}}, {4000, {"Frequency"}}}, kBodySize);
        for (const Allele& allele : marker->alleles)
            report.row({{2000, {allele.name}}, {4000, {general(allele.frequency)}}}, kBodySize);
    }
}

void advancedSettingsSection(ReportWriter& report, const Core& core) {
    report.empty();
    report.heading("Advanced settings");
    report.newSection();
    report.row(
        {{4000, {"Pedigree"}}, {6000, {"Threshold"}}, {8000, {"Steps"}}, {10000, {"Lump alleles"}}},
        kBodySize);
    const PedigreeSettings& settings = core.pedigreeSettings;
    // Every relationship of the catalogue has its settings, whichever the case uses.
    for (int o = 0; o < kCatalogueCount; ++o) {
        const size_t i = static_cast<size_t>(o);
        const std::string threshold =
            i < settings.threshold.size() ? formatFixed(settings.threshold[i], 7) : "NA";
        const std::string steps =
            i < settings.steps.size() ? std::to_string(settings.steps[i]) : "NA";
        const std::string lump =
            i < settings.lumpAlleles.size() ? (settings.lumpAlleles[i] ? "Yes" : "No") : "NA";
        report.row(
            {{4000, {catalogueName(o + 1)}}, {6000, {threshold}}, {8000, {steps}}, {10000, {lump}}},
            kBodySize);
    }
}

}  // namespace

int hypothesisCode(const Core& core, int row) {
    if (core.mainHypothesis < 0 || core.mainHypothesis >= kCatalogueCount || row < 1) return 0;
    const int mainCode = core.mainHypothesis + 1;
    if (row == 1) return mainCode;
    const size_t index = static_cast<size_t>(row - 2);
    if (index >= core.alternativeHypotheses.size()) return 0;
    const std::vector<int> alternatives = catalogueAlternatives(mainCode);
    const int position = core.alternativeHypotheses[index];
    if (position < 0 || position >= static_cast<int>(alternatives.size())) return 0;
    return alternatives[static_cast<size_t>(position)];
}

Status writeCaseReport(const Core& core, const std::string& reportPath) {
    ReportWriter report(reportPath);
    if (!report.ok()) return report.close();

    report.paragraph("Report generated by Relatix version " + formatFixed(core.softwareVersion, 1),
                     kTitleSize, true, true);
    report.paragraph(std::string("Reference 1: ") + kReportCitation, kNoteSize);
    const Population* population = activePopulationOf(core);
    report.paragraph("Timestamp: " + timeText(clock().now()), kBodySize);
    report.paragraph("Database: " + (population ? population->name : std::string()), kBodySize);
    report.paragraph("Project file: " + forwardSlashes(core.projectPath), kBodySize);
    report.paragraph("Report file: " + forwardSlashes(reportPath), kBodySize);
    if (core.mutationsOff) report.paragraph(kMutationNotModelled, kBodySize, true);

    pedigreeSection(report, core);
    personsSection(report, core);
    // Drawn pedigrees have no exact values: the exact engine computes the catalogue only.
    const bool catalogue = core.mainHypothesis != kCreatedPedigrees;
    resultsSection(report, core, "Results (Exact LR)", core.exactResults, catalogue);
    resultsSection(report, core, "Results (Merlin)", core.merlinResults, true);
    if (catalogue) perMarkerSection(report, core);

    report.empty();
    report.heading("Settings");
    report.paragraph("Theta: " + threeDecimals(core.clusterDatabase.theta), kBodySize);
    report.paragraph(std::string("Mutation: ") + (core.mutationsOff ? "not modelled" : "modelled"),
                     kBodySize);
    report.empty();
    report.empty();
    systemsSection(report, core);
    advancedSettingsSection(report, core);
    return report.close();
}

}  // namespace relatix
