#include "persistence/import_warnings.h"

namespace relatix {

namespace {
thread_local ImportWarningCollector* current = nullptr;
}  // namespace

ImportWarningCollector::ImportWarningCollector() : outer_(current) {
    current = this;
}

ImportWarningCollector::~ImportWarningCollector() {
    current = outer_;
}

void reportImportWarning(std::optional<int> line, std::string text) {
    if (current) current->add({line, std::move(text)});
}

}  // namespace relatix
