#include "app/application.h"
#include "app/calculation_save.h"
#include "app/install_case_dialogs.h"
#include "dialogs/add_dna_data_presenter.h"
#include "dialogs/results_presenter.h"
#include "dialogs/select_alternative_hypotheses_presenter.h"
#include "dialogs/select_basic_hypothesis_presenter.h"
#include "dialogs/set_prior_presenter.h"

namespace relatix {

void installCaseDialogs(Application& application) {
    UserInterface& ui = application.ui();
    application.attachPedigreeSelectionDialog(std::make_unique<SelectBasicHypothesisPresenter>(ui));
    application.attachHypothesisSelectionDialog(
        std::make_unique<SelectAlternativeHypothesesPresenter>(ui));
    application.attachDnaEntryDialog(std::make_unique<AddDnaDataPresenter>(ui));
    // "Set prior" of the results dialog edits the prior of its selected row.
    if (auto* results = dynamic_cast<ResultsPresenter*>(&application.resultsDialog())) {
        results->setPriorEditor([](Core& core, UserInterface& userInterface, int row) {
            SetPriorPresenter dialog(core, userInterface, row);
            userInterface.runDialog(dialog);
        });
        results->setBeforeCalculation(offerToSaveBeforeCalculation);
    }
}

}  // namespace relatix
