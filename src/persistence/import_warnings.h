// What the readers of case files leave out, refuse or doubt while they read, as
// data: one entry per finding, with the line of the file where it has one. The
// readers tell the user in their own way (the project reader in its import
// summary); a caller that needs the findings themselves, as relatix2-cli does for
// its JSON output, collects them for the time of a read.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace relatix {

struct ImportWarning {
    std::optional<int> line;  // 1-based line of the file; none when the finding has no line
    std::string text;
    bool operator==(const ImportWarning&) const = default;
};

// While a collector exists, it receives the warnings reported on its thread.
// Collectors nest: the innermost one receives them.
class ImportWarningCollector {
public:
    ImportWarningCollector();
    ~ImportWarningCollector();
    ImportWarningCollector(const ImportWarningCollector&) = delete;
    ImportWarningCollector& operator=(const ImportWarningCollector&) = delete;

    void add(ImportWarning warning) { warnings_.push_back(std::move(warning)); }
    const std::vector<ImportWarning>& warnings() const { return warnings_; }

private:
    std::vector<ImportWarning> warnings_;
    ImportWarningCollector* outer_;
};

// Hands a warning to this thread's collector; without one it goes nowhere.
void reportImportWarning(std::optional<int> line, std::string text);

}  // namespace relatix
