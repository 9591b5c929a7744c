#include "linkage_case.h"

#include <algorithm>
#include <stdexcept>

#include "core/catalogue.h"

namespace relatix::testing {

void LinkageCase::hypotheses(int mainCode, const std::vector<int>& alternativeCodes) {
    core.mainHypothesis = mainCode - 1;
    core.alternativeHypotheses.clear();
    const std::vector<int> offered = catalogueAlternatives(mainCode);
    for (int code : alternativeCodes) {
        const auto found = std::find(offered.begin(), offered.end(), code);
        if (found == offered.end()) throw std::invalid_argument("not an alternative");
        core.alternativeHypotheses.push_back(static_cast<int>(found - offered.begin()));
    }
}

}  // namespace relatix::testing
