#include "app/application.h"
#include "dialogs/add_dna_data_presenter.h"
#include "dialogs/install_case_dialogs.h"
#include "dialogs/select_alternative_hypotheses_presenter.h"
#include "dialogs/select_basic_hypothesis_presenter.h"

namespace relatix {

void installCaseDialogs(Application& application) {
    UserInterface& ui = application.ui();
    application.attachPedigreeSelectionDialog(std::make_unique<SelectBasicHypothesisPresenter>(ui));
    application.attachHypothesisSelectionDialog(
        std::make_unique<SelectAlternativeHypothesesPresenter>(ui));
    application.attachDnaEntryDialog(std::make_unique<AddDnaDataPresenter>(ui));
}

}  // namespace relatix
