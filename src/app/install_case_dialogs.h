// Makes the presenters of the case dialogs the application's long-lived
// pedigree selection, hypothesis selection and DNA entry dialogs.
#pragma once

namespace relatix {

class Application;

void installCaseDialogs(Application& application);

}  // namespace relatix
