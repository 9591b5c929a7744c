// The quick analysis of one Kovarian case file: read it, write the LINKAGE files
// into a fresh work folder of its own, run the linkage engine of the program
// folder once, and write the LR matrix (stem + "_Relatixed.txt") and, when asked,
// the plain-text report (stem + "_RelatixReport.rtf") next to the case file, each
// replacing an earlier one only once written whole. After an interrupt nothing
// more is written: a file not analysed keeps its earlier results.
// Files are independent, so several can be analysed at once on threads.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "analysis/quick_case.h"
#include "analysis/quick_results.h"

namespace relatix {

inline constexpr const char* kQuickMatrixSuffix = "_Relatixed.txt";
inline constexpr const char* kQuickReportSuffix = "_RelatixReport.rtf";
inline constexpr const char* kQuickInterruptedMessage =
    "not analysed: the run was interrupted; its earlier results are left as they were";

// The case file path without its last four characters.
std::string quickStem(const std::string& casePath);
std::string quickMatrixPath(const std::string& casePath);
std::string quickReportPath(const std::string& casePath);

struct QuickOutcome {
    // The case file was read (false: refused or interrupted, nothing written for it).
    bool read = false;
    // The run was interrupted (SIGINT, SIGTERM) before this file's results were
    // written: nothing was written for it.
    bool interrupted = false;
    // Why the file was refused, and whether the user is to be told.
    std::string refusal;
    bool tell = false;
    // The report of this run was written.
    bool reportWritten = false;
    // What could not be written (matrix or report), empty when all was.
    std::string writeProblem;
    QuickCase quickCase;
    QuickResults results;
};

struct QuickRequest {
    std::string casePath;
    bool writeReport = true;
    std::string mapPath;           // "Default" or empty: the default map
    std::string programDirectory;  // where merlinEngine and markerPositions.map are
    std::function<void()> whileWaiting;
};

QuickOutcome analyseKovarianFile(const QuickRequest& request);

// The case-file field split at ";": every ";" ends a name (kept even when empty),
// a non-empty remainder is the last name.
std::vector<std::string> splitQuickFileField(const std::string& field);

}  // namespace relatix

namespace relatix {

class UserInterface;

inline constexpr const char* kQuickCaseFilesInitialText = "Select Kovarian file(s)...";
inline constexpr const char* kQuickMapInitialText = "Default";
inline constexpr const char* kQuickManyFilesQuestion =
    "More than 10 files selected, do you really want to open all reports?";

// What the "Run Quick Analysis" dialog hands to its Analyse command.
struct QuickDialogValues {
    std::string caseFiles = kQuickCaseFilesInitialText;
    std::string mapFile = kQuickMapInitialText;
    bool openReport = true;
    std::string programDirectory;
};

// The Analyse command: checks the case-file field, splits it, asks before opening
// more than ten reports, analyses every file in turn and opens the reports this
// run wrote (when "Open report" is checked). Returns the outcome of every file.
std::vector<QuickOutcome> runQuickAnalysis(UserInterface& ui, const QuickDialogValues& values);

}  // namespace relatix
