#include "calculate_command.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "app/application.h"
#include "app/calculation_save.h"
#include "core/catalogue.h"
#include "core/core.h"
#include "core/decimal_text.h"
#include "core/hypothesis_labels.h"
#include "core/theta_check.h"
#include "import_warnings_output.h"
#include "json_output.h"
#include "linkage/calculation_workflow.h"
#include "linkage/core_update.h"
#include "linkage/likelihood_ratios.h"
#include "persistence/open_project.h"
#include "platform/console_user_interface.h"
#include "platform/program_folder.h"
#include "reporting/marker_ratios.h"

namespace relatix::cli {

namespace {

struct Arguments {
    std::string casePath;
    std::optional<int> reference;
    std::optional<double> theta;
    bool json = false;
    bool noMutation = false;
    bool perMarker = false;
    std::string lrFile;
    std::optional<int> hypothesis;  // the row --lr-file writes
};

// A parsed number must use the whole text (read without the process locale).
std::optional<double> wholeNumber(const std::string& text) {
    return parseDecimal(text);
}

bool parse(const std::vector<std::string>& args, Arguments& parsed, std::ostream& err) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* option) -> const std::string* {
            if (i + 1 >= args.size()) {
                err << "relatix2-cli: " << option << " needs a value\n";
                return nullptr;
            }
            return &args[++i];
        };
        if (a == "--json") {
            parsed.json = true;
        } else if (a == "--no-mutation") {
            parsed.noMutation = true;
        } else if (a == "--per-marker") {
            parsed.perMarker = true;
        } else if (a == "--lr-file") {
            const std::string* v = value("--lr-file");
            if (!v) return false;
            if (v->empty()) {
                err << "relatix2-cli: --lr-file needs a file name\n";
                return false;
            }
            parsed.lrFile = *v;
        } else if (a == "--hypothesis") {
            const std::string* v = value("--hypothesis");
            if (!v) return false;
            const auto k = wholeNumber(*v);
            if (!k || *k < 1 || *k != std::floor(*k) || *k > 1000) {
                err << "relatix2-cli: --hypothesis takes a hypothesis number from 1, got '" << *v
                    << "'\n";
                return false;
            }
            parsed.hypothesis = static_cast<int>(*k);
        } else if (a == "--reference") {
            const std::string* v = value("--reference");
            if (!v) return false;
            const auto k = wholeNumber(*v);
            if (!k || *k < 1 || *k != std::floor(*k) || *k > 1000) {
                err << "relatix2-cli: --reference takes a hypothesis number from 1, got '" << *v
                    << "'\n";
                return false;
            }
            parsed.reference = static_cast<int>(*k);
        } else if (a == "--theta") {
            const std::string* v = value("--theta");
            if (!v) return false;
            const auto t = wholeNumber(*v);
            if (!t || checkTheta(*t) == ThetaVerdict::Refused) {
                err << "relatix2-cli: --theta takes a number " << kThetaRangeText << ", got '" << *v
                    << "'\n";
                return false;
            }
            parsed.theta = *t;
        } else if (!a.empty() && a[0] == '-') {
            err << "relatix2-cli: unknown option '" << a << "' for calculate\n";
            return false;
        } else if (parsed.casePath.empty()) {
            parsed.casePath = a;
        } else {
            err << "relatix2-cli: calculate takes one case file, got also '" << a << "'\n";
            return false;
        }
    }
    return true;
}

// One column of results (exact, unlinked or linked): the log-likelihoods with
// their availability, the ratios and the posteriors.
struct Column {
    std::vector<std::optional<double>> ln, lr, w;
    std::vector<std::string> reasons;  // why ln is missing; empty when it is there
};

Column column(const LogLikelihoods& logs, bool available, int n, int reference,
              const std::vector<double>& priors) {
    LogLikelihoods values(static_cast<size_t>(n), LogLikelihood::missing("not computed"));
    for (int i = 0; i < n && available && i < static_cast<int>(logs.size()); ++i)
        values[static_cast<size_t>(i)] = logs[static_cast<size_t>(i)];
    Column c;
    for (const LogLikelihood& value : values) {
        c.ln.push_back(value);
        c.reasons.push_back(value.reason());
    }
    c.lr = likelihoodRatios(values, reference);
    c.w = posteriorProbabilities(values, priors);
    return c;
}

std::string text(const std::optional<double>& v) {
    return v ? formatGeneral(*v, 10) : std::string("NA");
}

// null for a missing value; JSON has no infinities, so those are the texts
// "inf" and "-inf" (a likelihood of 0, a ratio against one).
nlohmann::json json(const std::optional<double>& v) {
    if (!v || std::isnan(*v)) return nullptr;
    if (std::isinf(*v)) return *v > 0 ? "inf" : "-inf";
    return *v;
}

nlohmann::json reason(const std::string& text) {
    return text.empty() ? nlohmann::json(nullptr) : nlohmann::json(text);
}

// The markers of one hypothesis; null for a skipped marker's own ratio.
nlohmann::json markersJson(const MarkerRatios& ratios) {
    nlohmann::json markers = nlohmann::json::array();
    for (const MarkerRatio& m : ratios.markers)
        markers.push_back({{"marker", m.marker},
                           {"chromosome", m.chromosome},
                           {"position", m.position},
                           {"accumulated", json(std::optional<double>(m.accumulated))},
                           {"marginal", json(m.marginal)}});
    return markers;
}

}  // namespace

std::string bundledExamplePath() {
    return (std::filesystem::path(programFolder()) / "examples" / "half_siblings_linked.sav")
        .string();
}

int engineStatus(const CalculationOutcome& outcome, std::ostream& err) {
    if (outcome.engineResultsAvailable) return 0;
    err << "relatix2-cli: the linkage program gave no values"
        << (outcome.engineMessage.empty() ? std::string() : ": " + outcome.engineMessage) << "\n";
    return 1;
}

int simulationEngineStatus(const Core& core, std::ostream& err) {
    for (const SimulatedDataSets* sets :
         {&core.simulatedLinkedLikelihoods, &core.simulatedUnlinkedLikelihoods}) {
        bool any = false;
        for (const LogLikelihoods& set : *sets)
            for (const LogLikelihood& value : set) any = any || value.has_value();
        if (!any) {
            err << "relatix2-cli: the linkage program gave no value for any simulated data set\n";
            return 1;
        }
    }
    return 0;
}

int runCalculateCommand(const std::vector<std::string>& args, std::ostream& out,
                        std::ostream& err) {
    Arguments parsed;
    if (!parse(args, parsed, err)) return 2;
    if (parsed.casePath.empty()) parsed.casePath = bundledExamplePath();
    const std::string casePath = std::filesystem::absolute(parsed.casePath).string();

    if (parsed.theta && checkTheta(*parsed.theta) == ThetaVerdict::TakenUnusuallyLarge)
        err << "relatix2-cli: " << largeThetaWarning(*parsed.theta) << "\n";

    ConsoleUserInterface ui(err);
    Core core(programFolder());
    std::vector<ImportWarning> importWarnings;
    if (!readRecordingImportWarnings(ui, importWarnings, [&](UserInterface& reading) {
            return openProject(core, casePath, reading);
        })) {
        err << "relatix2-cli: cannot read the case file '" << parsed.casePath << "'\n";
        return 1;
    }
    core.setProjectName(projectNameFromFileName(casePath));
    core.projectPath = casePath;
    if (parsed.noMutation) core.mutationsOff = true;  // a case saved without mutation stays so
    if (parsed.theta) {
        core.clusterDatabase.theta = *parsed.theta;
        if (Population* active = core.populationAt(core.activePopulation))
            active->theta = *parsed.theta;
    }
    const int n = core.hypothesisCount();
    int reference = parsed.reference.value_or(core.referenceHypothesis + 1);
    if (n < 2) {
        err << "relatix2-cli: the case '" << parsed.casePath
            << "' has no alternative hypothesis to compare with\n";
        return 1;
    }
    if (parsed.reference && (reference < 1 || reference > n)) {
        err << "relatix2-cli: --reference " << reference
            << " is not a hypothesis of the case (1 to " << n << ")\n";
        return 2;
    }
    if (reference < 1 || reference > n) reference = 1;  // a stored reference out of range
    if (parsed.hypothesis && *parsed.hypothesis > n) {
        err << "relatix2-cli: --hypothesis " << *parsed.hypothesis
            << " is not a hypothesis of the case (1 to " << n << ")\n";
        return 2;
    }
    const int lrRow = parsed.hypothesis.value_or(1);
    if (!parsed.lrFile.empty() && lrRow == reference) {
        err << "relatix2-cli: Can not export LR for the pedigree which is scaled against "
               "(hypothesis "
            << lrRow << ")\n";
        return 1;
    }
    core.initialisePriors();
    const CalculationOutcome outcome = runCalculation(core, ui, offerToSaveBeforeCalculation);
    if (outcome.status != CalculationStatus::Calculated) {
        err << "relatix2-cli: the case '" << parsed.casePath << "' was not calculated\n";
        return 1;
    }

    // Every marker of the map the calculation left out, with why.
    const std::vector<bool> skip = clusterSkipList(core);
    const std::vector<UnusedMarker> unused = unusedMarkers(core, skip);
    for (const UnusedMarker& marker : unused)
        err << "relatix2-cli: marker " << marker.marker << " not used: " << marker.reason << "\n";
    const std::vector<std::string> newAlleles = newAlleleNotices(core);
    for (const std::string& notice : newAlleles) err << "relatix2-cli: " << notice << "\n";

    const bool exactColumn = core.mainHypothesis != kCreatedPedigrees;
    const Column exact = column(core.exactResults, exactColumn, n, reference, core.priors);
    // The engine columns hold their own reasons when the linkage program failed.
    const Column unlinked = column(core.unlinkedResults, true, n, reference, core.priors);
    const Column linked = column(core.merlinResults, true, n, reference, core.priors);

    core.referenceHypothesis = reference - 1;
    if (!parsed.lrFile.empty()) {
        if (const Status written = exportLikelihoodRatio(lrRow - 1, core, parsed.lrFile);
            !written) {
            err << "relatix2-cli: " << written.message() << "\n";
            return 1;
        }
    }
    // Per hypothesis the ratios marker by marker, or why there are none.
    std::vector<MarkerRatios> perMarker(static_cast<size_t>(n));
    std::vector<std::string> perMarkerProblems(static_cast<size_t>(n));
    if (parsed.perMarker)
        for (int i = 0; i < n; ++i)
            if (const Status status =
                    markerRatios(core, i, reference - 1, perMarker[static_cast<size_t>(i)]);
                !status)
                perMarkerProblems[static_cast<size_t>(i)] = status.message();

    if (parsed.json) {
        nlohmann::json document;
        document["case"] = parsed.casePath;
        document["reference"] = reference;
        document["linkageEngineMessage"] = outcome.engineMessage.empty()
                                               ? nlohmann::json(nullptr)
                                               : nlohmann::json(outcome.engineMessage);
        nlohmann::json used = nlohmann::json::array(), skipped = nlohmann::json::array();
        for (size_t c = 0; c < core.clusterDatabase.clusterNames.size(); ++c)
            if (c >= skip.size() || !skip[c]) used.push_back(core.clusterDatabase.clusterNames[c]);
        for (const UnusedMarker& marker : unused)
            skipped.push_back({{"marker", marker.marker}, {"reason", marker.reason}});
        document["markersUsed"] = used;
        document["markersSkipped"] = skipped;
        document["newAlleles"] = newAlleles;
        nlohmann::json hypotheses = nlohmann::json::array();
        for (int i = 0; i < n; ++i) {
            const size_t k = static_cast<size_t>(i);
            hypotheses.push_back({{"number", i + 1},
                                  {"name", hypothesisLabel(core, i + 1)},
                                  {"lnExact", json(exact.ln[k])},
                                  {"lnUnlinked", json(unlinked.ln[k])},
                                  {"lnLinked", json(linked.ln[k])},
                                  {"lrExact", json(exact.lr[k])},
                                  {"lrUnlinked", json(unlinked.lr[k])},
                                  {"lrLinked", json(linked.lr[k])},
                                  {"posteriorExact", json(exact.w[k])},
                                  {"posteriorUnlinked", json(unlinked.w[k])},
                                  {"posteriorLinked", json(linked.w[k])},
                                  {"exactMissingReason", reason(exact.reasons[k])},
                                  {"unlinkedMissingReason", reason(unlinked.reasons[k])},
                                  {"linkedMissingReason", reason(linked.reasons[k])}});
            if (parsed.perMarker) hypotheses.back()["markers"] = markersJson(perMarker[k]);
            if (parsed.perMarker && !perMarkerProblems[k].empty())
                hypotheses.back()["markers"] = nullptr;
            if (parsed.perMarker)
                hypotheses.back()["markersMissingReason"] = reason(perMarkerProblems[k]);
        }
        document["hypotheses"] = hypotheses;
        document["importWarnings"] = importWarningsJson(importWarnings);
        writeJson(out, document);
        return engineStatus(outcome, err);
    }
    out << "#\tHypothesis\tlnL exact\tlnL unlinked\tlnL linked\tLR exact\tLR unlinked\t"
           "LR linked\tW exact\tW unlinked\tW linked\n";
    for (int i = 0; i < n; ++i) {
        const size_t k = static_cast<size_t>(i);
        out << i + 1 << '\t' << hypothesisLabel(core, i + 1) << '\t' << text(exact.ln[k]) << '\t'
            << text(unlinked.ln[k]) << '\t' << text(linked.ln[k]) << '\t' << text(exact.lr[k])
            << '\t' << text(unlinked.lr[k]) << '\t' << text(linked.lr[k]) << '\t'
            << text(exact.w[k]) << '\t' << text(unlinked.w[k]) << '\t' << text(linked.w[k]) << '\n';
    }
    if (parsed.perMarker) {
        out << "\n#\tHypothesis\tMarker\tChromosome\tPosition\tAccumulated LR\tMarginal LR\n";
        for (int i = 0; i < n; ++i) {
            const size_t k = static_cast<size_t>(i);
            if (!perMarkerProblems[k].empty()) {
                err << "relatix2-cli: no per-marker ratios for hypothesis " << i + 1 << ": "
                    << perMarkerProblems[k] << "\n";
                continue;
            }
            for (const MarkerRatio& m : perMarker[k].markers)
                out << i + 1 << '\t' << hypothesisLabel(core, i + 1) << '\t' << m.marker << '\t'
                    << m.chromosome << '\t' << formatShortest(m.position) << '\t'
                    << formatShortest(m.accumulated) << '\t'
                    << (m.marginal ? formatShortest(*m.marginal) : std::string("NA")) << '\n';
        }
    }
    return engineStatus(outcome, err);
}

}  // namespace relatix::cli
