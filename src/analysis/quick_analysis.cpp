#include "analysis/quick_analysis.h"

#include <filesystem>
#include <ostream>

#include "analysis/quick_linkage_files.h"
#include "analysis/quick_report.h"
#include "linkage/engine_output_cursor.h"
#include "linkage/engine_runs.h"
#include "platform/atomic_file.h"
#include "platform/process_runner.h"
#include "platform/user_interface.h"
#include "platform/work_folder.h"

namespace relatix {

namespace {

// The whole file at once, replacing an earlier one only when written completely;
// empty, or what went wrong.
std::string writeFile(const std::string& path, const std::string& text) {
    std::string why;
    if (writeFileAtomically(
            path, [&text](std::ostream& out) { out << text; }, &why) == AtomicWriteStatus::Written)
        return {};
    return "Could not write " + path + (why.empty() ? "" : ": " + why);
}

// An interrupted run (SIGINT, SIGTERM) analyses nothing more: the engine it
// waited for was ended, so its results say nothing about the case, and the
// earlier outputs of the file stay as they were.
QuickOutcome interruptedOutcome() {
    QuickOutcome outcome;
    outcome.interrupted = true;
    outcome.refusal = kQuickInterruptedMessage;
    return outcome;
}

}  // namespace

std::string quickStem(const std::string& casePath) {
    return casePath.size() >= 4 ? casePath.substr(0, casePath.size() - 4) : std::string();
}
std::string quickMatrixPath(const std::string& casePath) {
    return quickStem(casePath) + kQuickMatrixSuffix;
}
std::string quickReportPath(const std::string& casePath) {
    return quickStem(casePath) + kQuickReportSuffix;
}

std::vector<std::string> splitQuickFileField(const std::string& field) {
    std::vector<std::string> names;
    std::string current;
    for (char c : field) {
        if (c == ';') {
            names.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) names.push_back(current);
    return names;
}

QuickOutcome analyseKovarianFile(const QuickRequest& request) {
    if (interrupted()) return interruptedOutcome();
    QuickOutcome outcome;
    const std::vector<MapEntry> map = loadQuickMarkerMap(request.mapPath, request.programDirectory);
    const QuickCaseRead read = readQuickCaseFile(request.casePath, map, outcome.quickCase);
    if (!read.status) {
        outcome.refusal = read.status.message();
        outcome.tell = read.tell;
        return outcome;
    }
    outcome.read = true;
    const QuickCase& quickCase = outcome.quickCase;

    std::optional<std::string> engineOutput;
    std::string whyNoOutput;
    {
        WorkFolder work(request.programDirectory);
        if (!work.ok()) {
            whyNoOutput = work.error();
        } else if (const Status written = writeQuickLinkageFiles(quickCase, work.path());
                   !written) {
            whyNoOutput = written.message();
        } else {
            const EngineCommand command = quickAnalysisRun();
            const EngineRunOutcome run = runEngineInFolder(request.programDirectory, command,
                                                           work.path(), request.whileWaiting);
            if (!run.succeeded()) {
                whyNoOutput = run.message();
            } else {
                const std::string results =
                    (std::filesystem::path(work.path()) / "tempResults.txt").string();
                engineOutput = readWholeFile(results);
                if (!engineOutput) whyNoOutput = "the linkage program wrote no results file";
            }
        }
    }

    if (interrupted()) return interruptedOutcome();
    const std::string reportPath = quickReportPath(request.casePath);
    outcome.results = readQuickResults(quickCase, engineOutput, whyNoOutput);
    const std::string matrixPath = quickMatrixPath(request.casePath);
    outcome.writeProblem = writeFile(matrixPath, quickMatrixText(outcome.results));
    if (request.writeReport) {
        const std::string report = quickReportPersons(quickCase, request.casePath) +
                                   quickReportPedigrees(quickCase) +
                                   quickReportResults(quickCase, outcome.results) +
                                   quickReportMarkers(quickCase, outcome.results);
        const std::string problem = writeFile(reportPath, report);
        outcome.reportWritten = problem.empty();
        if (!outcome.reportWritten) {
            if (!outcome.writeProblem.empty()) outcome.writeProblem += "; ";
            outcome.writeProblem += problem;
        }
    }
    return outcome;
}

}  // namespace relatix

namespace relatix {

std::vector<QuickOutcome> runQuickAnalysis(UserInterface& ui, const QuickDialogValues& values) {
    std::vector<QuickOutcome> outcomes;
    if (values.caseFiles == kQuickCaseFilesInitialText) {
        ui.messageBox("Select file to analyse!", "Error", MessageButtons::Ok, MessageIcon::Error);
        return outcomes;
    }
    if (const Status map = checkQuickMarkerMap(values.mapFile); !map) {
        ui.messageBox(map.message(), "Error", MessageButtons::Ok, MessageIcon::Error);
        return outcomes;
    }
    const std::vector<std::string> names = splitQuickFileField(values.caseFiles);
    bool openReports = values.openReport;
    if (openReports && names.size() > 10 &&
        ui.messageBox(kQuickManyFilesQuestion, "Warning", MessageButtons::YesNo,
                      MessageIcon::Warning) == Answer::No)
        openReports = false;
    for (const std::string& name : names) {
        QuickRequest request;
        request.casePath = name;
        request.writeReport = true;
        request.mapPath = values.mapFile;
        request.programDirectory = values.programDirectory;
        request.whileWaiting = [&ui] { ui.processEvents(); };
        QuickOutcome outcome = analyseKovarianFile(request);
        if (outcome.tell) ui.messageBox(outcome.refusal, "", MessageButtons::Ok);
        // Only a report this run wrote is opened: a refused file never shows an
        // earlier run's report as if it were this one's.
        if (openReports && outcome.reportWritten) ui.openDocument(quickReportPath(name));
        outcomes.push_back(std::move(outcome));
    }
    return outcomes;
}

}  // namespace relatix
