#include "convert_command.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "core/decimal_text.h"
#include "json_output.h"
#include "tools/map_distance.h"

namespace relatix::cli {

namespace {

struct Arguments {
    MapFunction function = MapFunction::None;
    std::optional<double> cm;
    std::optional<double> theta;
    bool json = false;
};

const char* functionName(MapFunction f) {
    switch (f) {
        case MapFunction::Haldane: return "haldane";
        case MapFunction::Kosambi: return "kosambi";
        case MapFunction::Morgan: return "morgan";
        case MapFunction::None: break;
    }
    return "";
}

bool parse(const std::vector<std::string>& args, Arguments& parsed, std::ostream& err) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        MapFunction chosen = MapFunction::None;
        if (a == "--haldane") chosen = MapFunction::Haldane;
        if (a == "--kosambi") chosen = MapFunction::Kosambi;
        if (a == "--morgan") chosen = MapFunction::Morgan;
        if (chosen != MapFunction::None) {
            if (parsed.function != MapFunction::None) {
                err << "relatix2-cli: convert takes one of --haldane, --kosambi, --morgan\n";
                return false;
            }
            parsed.function = chosen;
        } else if (a == "--json") {
            parsed.json = true;
        } else if (a == "--cm" || a == "--theta") {
            if (i + 1 >= args.size()) {
                err << "relatix2-cli: " << a << " needs a value\n";
                return false;
            }
            const std::string& v = args[++i];
            const std::optional<double> value = parseDecimal(v);
            if (!value) {
                err << "relatix2-cli: " << a << " takes a number, got '" << v << "'\n";
                return false;
            }
            if (parsed.cm || parsed.theta) {
                err << "relatix2-cli: convert takes one of --cm and --theta\n";
                return false;
            }
            (a == "--cm" ? parsed.cm : parsed.theta) = *value;
        } else {
            err << "relatix2-cli: unknown argument '" << a << "' for convert\n";
            return false;
        }
    }
    if (parsed.function == MapFunction::None) {
        err << "relatix2-cli: convert needs one of --haldane, --kosambi, --morgan\n";
        return false;
    }
    if (!parsed.cm && !parsed.theta) {
        err << "relatix2-cli: convert needs --cm D or --theta R\n";
        return false;
    }
    return true;
}

}  // namespace

int runConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Arguments parsed;
    if (!parse(args, parsed, err)) return 2;
    double cm = 0.0;
    double theta = 0.0;
    if (parsed.cm) {
        cm = *parsed.cm;
        theta = cmToTheta(parsed.function, cm);
    } else {
        theta = thetaAsFraction(*parsed.theta);
        const std::optional<double> distance = thetaToCm(parsed.function, *parsed.theta);
        if (!distance) {
            err << "relatix2-cli: "
                << (theta >= 0.5 ? "No finite distance for theta >= 0.5"
                                 : "No finite distance for theta <= -0.5")
                << "\n";
            return 1;
        }
        cm = *distance;
    }
    if (parsed.json) {
        nlohmann::json document;
        document["method"] = functionName(parsed.function);
        document["cm"] = cm;
        document["theta"] = theta;
        document["importWarnings"] = nlohmann::json::array();  // it reads no file
        writeJson(out, document);
        return 0;
    }
    out << formatGeneral(parsed.cm ? theta : cm, 6) << "\n";
    return 0;
}

}  // namespace relatix::cli
