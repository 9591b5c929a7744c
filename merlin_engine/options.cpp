#include "options.h"

#include "text_input.h"

namespace merlin {

std::string usageText() {
    return "Usage: merlinEngine -d DATFILE -p PEDFILE -m MAPFILE [-f FREQFILE] [options]\n"
           "Computes per-family natural-log likelihoods of linked marker data.\n"
           "  -d DATFILE     data file: M marker, A affection, T trait, C covariate,\n"
           "                 Z zygosity, S skip one column, Sn skip n columns, E end\n"
           "  -p PEDFILE     pedigree file: family person father mother sex, then the data\n"
           "                 columns; no parent is 0 or ., a genotype is a b or a/b\n"
           "  -m MAPFILE     map file: chromosome marker position (cM), optional header line;\n"
           "                 chromosomes are whole numbers from 1, X (or 23) is not analysed\n"
           "  -f FREQFILE    frequency file: M marker, A label frequency, F f1 f2 ...;\n"
           "                 without it, or for a marker it lacks, the frequencies are\n"
           "                 counted over the typed persons of the pedigree file\n"
           "  --likelihood   print log-likelihoods (the default analysis)\n"
           "  --perFamily    one log-likelihood per family instead of one for all families\n"
           "  --quiet        no banner and no warnings\n"
           "  --simulate     replace the typed genotypes by genotypes simulated along the map\n"
           "  --save         write the pedigree with its genotypes to PREFIX-replicate.ped\n"
           "  -r SEED        seed of the simulation (default 123456)\n"
           "  --prefix P     prefix of the files written by --save (default merlin)\n"
           "  --bits N       skip families with more than N informative meioses (default 24,\n"
           "                 at most 28)\n"
           "  --help         show this text\n";
}

bool parseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
    auto value = [&](size_t& i, std::string& target) {
        if (i + 1 >= args.size()) {
            error = "option " + args[i] + " needs a value";
            return false;
        }
        target = args[++i];
        return true;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string text;
        if (arg == "-d") {
            if (!value(i, options.dataFile)) return false;
        } else if (arg == "-p") {
            if (!value(i, options.pedigreeFile)) return false;
        } else if (arg == "-m") {
            if (!value(i, options.mapFile)) return false;
        } else if (arg == "-f") {
            if (!value(i, options.frequencyFile)) return false;
        } else if (arg == "--likelihood") {
            options.likelihood = true;
        } else if (arg == "--perFamily") {
            options.perFamily = true;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--simulate") {
            options.simulate = true;
        } else if (arg == "--save") {
            options.save = true;
        } else if (arg == "--help") {
            options.help = true;
        } else if (arg == "-r") {
            if (!value(i, text)) return false;
            const auto seed = parseInteger(text);
            if (!seed) {
                error = "option -r needs a whole number, not '" + text + "'";
                return false;
            }
            options.seed = static_cast<std::uint64_t>(*seed);
        } else if (arg == "--prefix") {
            if (!value(i, options.prefix)) return false;
        } else if (arg == "--bits") {
            if (!value(i, text)) return false;
            const auto bits = parseInteger(text);
            if (!bits || *bits < 0 || *bits > kLargestBitLimit) {
                error = "option --bits needs a whole number from 0 to " +
                        std::to_string(kLargestBitLimit) + ", not '" + text + "'";
                return false;
            }
            options.maxBits = static_cast<int>(*bits);
        } else {
            error = "unknown option '" + arg + "' (see --help)";
            return false;
        }
    }
    if (options.help) return true;
    const std::pair<const char*, const std::string*> required[] = {
        {"-d DATFILE", &options.dataFile},
        {"-p PEDFILE", &options.pedigreeFile},
        {"-m MAPFILE", &options.mapFile}};
    for (const auto& [name, file] : required) {
        if (file->empty()) {
            error = std::string("missing required option ") + name;
            return false;
        }
    }
    return true;
}

}  // namespace merlin
