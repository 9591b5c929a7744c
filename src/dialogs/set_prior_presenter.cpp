#include "dialogs/set_prior_presenter.h"

#include <cmath>

#include "core/catalogue.h"
#include "core/decimal_text.h"

namespace relatix {

SetPriorPresenter::SetPriorPresenter(Core& core, UserInterface&, int preselectedHypothesis)
    : core_(core) {
    chooseHypothesis(preselectedHypothesis);
}

std::vector<std::string> SetPriorPresenter::hypothesisNames() const {
    std::vector<std::string> names;
    if (core_.mainHypothesis == kCreatedPedigrees) {
        for (const Pedigree& pedigree : core_.createdPedigrees) names.push_back(pedigree.name);
        return names;
    }
    const int mainCode = core_.mainHypothesis + 1;
    names.push_back(catalogueName(mainCode));
    const std::vector<int> alternatives = catalogueAlternatives(mainCode);
    for (int position : core_.alternativeHypotheses) {
        const bool known = position >= 0 && position < static_cast<int>(alternatives.size());
        names.push_back(known ? catalogueName(alternatives[static_cast<size_t>(position)]) : "");
    }
    return names;
}

std::vector<std::string> SetPriorPresenter::hypothesisOptions() const {
    std::vector<std::string> options = {"Select hypothesis..."};
    for (std::string& name : hypothesisNames()) options.push_back(std::move(name));
    return options;
}

void SetPriorPresenter::chooseHypothesis(int index) {
    const int count = static_cast<int>(hypothesisNames().size());
    choice_ = index >= 0 && index <= count ? index : 0;
    priorText_.clear();
    if (choice_ >= 1 && choice_ <= static_cast<int>(core_.priors.size()))
        priorText_ = formatFixed(core_.priors[static_cast<size_t>(choice_ - 1)], 4);
}

void SetPriorPresenter::set() {
    if (choice_ < 1) return;
    const double prior = readDecimal(priorText_);
    if (prior == 0.0 || !std::isfinite(prior)) return;
    // The results dialog sizes the priors before it opens this dialog; a case
    // whose priors do not match its hypotheses gets uniform ones first.
    if (choice_ > static_cast<int>(core_.priors.size())) core_.initialisePriors();
    if (choice_ > static_cast<int>(core_.priors.size())) return;
    core_.priors[static_cast<size_t>(choice_ - 1)] = prior;
}

}  // namespace relatix
