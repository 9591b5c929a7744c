#include "quick_command.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <nlohmann/json.hpp>
#include <ostream>
#include <thread>

#include "analysis/quick_analysis.h"
#include "analysis/quick_case.h"
#include "import_warnings_output.h"
#include "json_output.h"
#include "platform/program_folder.h"

namespace relatix::cli {

const char* const kQuickUsage =
    "  quick FILE.kov... [--map FILE] [--no-report] [--json]\n"
    "                analyse each Kovarian case file as Tools > Quick analysis does:\n"
    "                the LR matrix goes to the file's stem + \"_Relatixed.txt\" and\n"
    "                the report to stem + \"_RelatixReport.rtf\" (never opened;\n"
    "                --no-report writes none); --map gives the marker map (default:\n"
    "                markerPositions.map, else the built-in table); files are\n"
    "                analysed on as many threads as the machine has cores; prints\n"
    "                per file its path and LR matrix (tab-separated, NA for a value\n"
    "                not available), or with --json an array of {\"file\",\n"
    "                \"pedigrees\": [names], \"lnLikelihood\": {\"<chromosome>\": [ln L\n"
    "                per pedigree]}, \"lr\": [[row per pedigree]], \"posterior\": [...]}\n"
    "                with null for values not available (and \"error\" for a refused\n"
    "                file); exits 1 when any file was refused or the linkage program\n"
    "                gave no result (the reason per file on stderr)\n";

namespace {

struct Arguments {
    std::vector<std::string> files;
    std::string map;
    bool report = true;
    bool json = false;
};

bool parse(const std::vector<std::string>& args, Arguments& parsed, std::ostream& err) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--json") {
            parsed.json = true;
        } else if (a == "--no-report") {
            parsed.report = false;
        } else if (a == "--map") {
            if (i + 1 >= args.size()) {
                err << "relatix2-cli: --map needs a value\n";
                return false;
            }
            parsed.map = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            err << "relatix2-cli: unknown option '" << a << "' for quick\n";
            return false;
        } else {
            parsed.files.push_back(a);
        }
    }
    if (parsed.files.empty()) {
        err << "relatix2-cli: quick needs at least one case file (relatix2-cli quick FILE.kov)\n";
        return false;
    }
    return true;
}

nlohmann::json jsonNumber(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) return nullptr;
    return *value;
}

nlohmann::json jsonOutcome(const std::string& file, const QuickOutcome& outcome) {
    nlohmann::json document;
    document["file"] = file;
    document["importWarnings"] = importWarningsJson(outcome.quickCase.warnings);
    if (!outcome.read) {
        document["error"] = outcome.refusal;
        return document;
    }
    nlohmann::json pedigrees = nlohmann::json::array();
    for (const QuickPedigree& pedigree : outcome.quickCase.pedigrees)
        pedigrees.push_back(pedigree.name);
    document["pedigrees"] = pedigrees;
    nlohmann::json lnLikelihood = nlohmann::json::object();
    for (const QuickChromosome& block : outcome.results.chromosomes) {
        nlohmann::json values = nlohmann::json::array();
        for (const LogLikelihood& value : block.lnLikelihood) values.push_back(jsonNumber(value));
        lnLikelihood[std::to_string(block.chromosome)] = values;
    }
    document["lnLikelihood"] = lnLikelihood;
    nlohmann::json lr = nlohmann::json::array();
    for (const auto& row : outcome.results.lr) {
        nlohmann::json cells = nlohmann::json::array();
        for (const auto& cell : row) cells.push_back(jsonNumber(cell));
        lr.push_back(cells);
    }
    document["lr"] = lr;
    nlohmann::json posterior = nlohmann::json::array();
    for (const auto& value : outcome.results.posterior) posterior.push_back(jsonNumber(value));
    document["posterior"] = posterior;
    return document;
}

std::string withLf(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

}  // namespace

int runQuickCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Arguments parsed;
    if (!parse(args, parsed, err)) return 2;

    if (const Status map = checkQuickMarkerMap(parsed.map); !map) {
        err << "relatix2-cli: " << map.message() << "\n";
        return 1;
    }
    const std::string programDirectory = programFolder();
    std::vector<QuickOutcome> outcomes(parsed.files.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < parsed.files.size(); i = next++) {
            QuickRequest request;
            request.casePath = parsed.files[i];
            request.writeReport = parsed.report;
            request.mapPath = parsed.map;
            request.programDirectory = programDirectory;
            outcomes[i] = analyseKovarianFile(request);
        }
    };
    const size_t threads =
        std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), parsed.files.size());
    std::vector<std::thread> workers;
    for (size_t t = 1; t < threads; ++t) workers.emplace_back(work);
    work();
    for (std::thread& worker : workers) worker.join();

    int status = 0;
    nlohmann::json documents = nlohmann::json::array();
    for (size_t i = 0; i < outcomes.size(); ++i) {
        const std::string& file = parsed.files[i];
        const QuickOutcome& outcome = outcomes[i];
        if (!outcome.read) {
            err << "relatix2-cli: " << file << ": " << outcome.refusal << "\n";
            status = 1;
        } else {
            if (!outcome.results.engineProblem.empty()) {
                err << "relatix2-cli: " << file << ": " << outcome.results.engineProblem << "\n";
                status = 1;
            }
            if (!outcome.writeProblem.empty()) {
                err << "relatix2-cli: " << file << ": " << outcome.writeProblem << "\n";
                status = 1;
            }
        }
        if (parsed.json) {
            documents.push_back(jsonOutcome(file, outcome));
        } else if (outcome.read) {
            out << file << "\n" << withLf(quickMatrixText(outcome.results));
            if (i + 1 < outcomes.size()) out << "\n";
        }
    }
    if (parsed.json) writeJson(out, documents);
    return status;
}

}  // namespace relatix::cli
