#include "dialogs/dialog_questions.h"

#include "core/allele_check.h"
#include "dialogs/import_options_presenter.h"
#include "dialogs/new_allele_presenter.h"
#include "dialogs/select_systems_presenter.h"
#include "persistence/import_questions.h"
#include "platform/user_interface.h"

namespace relatix {

void installDialogQuestions() {
    setNewAlleleQuestion([](UserInterface& ui, Population* population,
                            const std::string& markerName, const std::string& allele) {
        NewAllelePresenter dialog(ui, population, markerName, allele);
        ui.runDialog(dialog);
        return dialog.added();
    });
    ImportQuestions questions;
    questions.selectSystems =
        [](UserInterface& ui,
           const std::vector<SystemOffer>& offers) -> std::optional<std::vector<int>> {
        SelectSystemsPresenter dialog(ui, offers);
        if (ui.runDialog(dialog) != DialogResult::Ok) return std::nullopt;
        return dialog.chosen();
    };
    questions.importOptions = [](UserInterface& ui, const std::string& sampleName,
                                 const std::vector<std::string>& personNames) {
        ImportOptionsPresenter dialog(ui, sampleName, personNames);
        ui.runDialog(dialog);
        return ImportTarget{dialog.chosenPerson(), dialog.importName()};
    };
    setImportQuestions(std::move(questions));
}

}  // namespace relatix
