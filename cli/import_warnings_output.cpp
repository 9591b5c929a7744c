#include "import_warnings_output.h"

namespace relatix::cli {

Answer ImportMessageRecorder::messageBox(const std::string& text, const std::string& caption,
                                         MessageButtons buttons, MessageIcon icon) {
    // Questions are answered by the console's table; what a reader only tells is
    // a finding about the file.
    if (buttons == MessageButtons::Ok &&
        (icon == MessageIcon::Warning || icon == MessageIcon::Error))
        reportImportWarning(std::nullopt, text);
    return ui_.messageBox(text, caption, buttons, icon);
}

nlohmann::json importWarningsJson(const std::vector<ImportWarning>& warnings) {
    nlohmann::json array = nlohmann::json::array();
    for (const ImportWarning& warning : warnings)
        array.push_back(
            {{"line", warning.line ? nlohmann::json(*warning.line) : nlohmann::json(nullptr)},
             {"text", warning.text}});
    return array;
}

nlohmann::json importWarningsJson(const std::vector<std::string>& warnings) {
    nlohmann::json array = nlohmann::json::array();
    for (const std::string& text : warnings) array.push_back({{"line", nullptr}, {"text", text}});
    return array;
}

}  // namespace relatix::cli
