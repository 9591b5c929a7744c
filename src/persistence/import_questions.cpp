#include "persistence/import_questions.h"

namespace relatix {

namespace {

ImportQuestions& installed() {
    static ImportQuestions questions;
    return questions;
}

}  // namespace

const ImportQuestions& importQuestions() {
    return installed();
}

void setImportQuestions(ImportQuestions questions) {
    installed() = std::move(questions);
}

}  // namespace relatix
