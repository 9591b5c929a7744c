// The questions an import asks through dialogs of the dialogs layer, which the
// readers cannot name. The front end installs them once (installDialogQuestions);
// without them an import asks nothing and takes the cautious answer (no system
// chosen, a sample that matches no person skipped).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace relatix {

class UserInterface;

// A system of a text database offered for import, with its allele count.
struct SystemOffer {
    std::string name;
    int alleleCount = 0;
};

struct ImportTarget {
    std::optional<int> person;  // 1-based person of the case; nothing to skip the sample
    bool importName = false;    // the person takes the sample's name
};

struct ImportQuestions {
    // "Select systems": the chosen systems (0-based, in list order); nothing
    // when the user cancelled.
    std::function<std::optional<std::vector<int>>(UserInterface&, const std::vector<SystemOffer>&)>
        selectSystems;
    // "Import options": where a sample that matches no person goes.
    std::function<ImportTarget(UserInterface&, const std::string& sampleName,
                               const std::vector<std::string>& personNames)>
        importOptions;
};

const ImportQuestions& importQuestions();
void setImportQuestions(ImportQuestions questions);

}  // namespace relatix
