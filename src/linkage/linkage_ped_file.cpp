#include "linkage/linkage_ped_file.h"

#include "core/catalogue.h"
#include "linkage/linkage_data_files.h"
#include "linkage/linkage_markers.h"
#include "linkage/linkage_pedigree_rows.h"

namespace relatix {

long long PedFileLayout::familyNumber(int hypothesis) const {
    if (!simulation) return hypothesis + 1;
    return (r * k + s) * k + hypothesis + 1;
}

std::vector<int> hypothesisCodes(const Core& core) {
    if (core.mainHypothesis < 0 || core.mainHypothesis >= kCatalogueCount) return {};
    const int mainCode = core.mainHypothesis + 1;
    const std::vector<int> alternatives = catalogueAlternatives(mainCode);
    std::vector<int> codes{mainCode};
    for (int position : core.alternativeHypotheses) {
        if (position < 0 || position >= static_cast<int>(alternatives.size())) return {};
        codes.push_back(alternatives[static_cast<size_t>(position)]);
    }
    return codes;
}

std::string linkagePedText(const Core& core, const std::vector<bool>& clusterSkipList,
                           const PedFileLayout& layout) {
    std::string text;
    auto appendFamily = [&](int hypothesis, const std::vector<std::string>& rows,
                            const char* separator) {
        const std::string family = std::to_string(layout.familyNumber(hypothesis)) + separator;
        for (const std::string& row : rows) text += family + row + "\n";
    };
    if (core.mainHypothesis == kCreatedPedigrees) {
        for (size_t i = 0; i < core.createdPedigrees.size(); ++i)
            appendFamily(static_cast<int>(i),
                         createdPedigreeRows(core.createdPedigrees[i], core, clusterSkipList),
                         "\t");
        return text;
    }
    const std::vector<int> codes = hypothesisCodes(core);
    for (size_t i = 0; i < codes.size(); ++i)
        appendFamily(static_cast<int>(i), linkagePedigreeRows(codes[i], core, clusterSkipList),
                     " ");
    return text;
}

bool writeLinkagePedFile(const Core& core, const std::vector<bool>& clusterSkipList,
                         const PedFileLayout& layout) {
    if (core.workFolder.empty()) ensureTempFolder(core.programDirectory);
    const std::string path = workFilePath(core, "temp.ped");
    if (core.mainHypothesis != kCreatedPedigrees && hypothesisCodes(core).empty()) {
        // A normal file of an earlier case must not be taken for this one.
        if (!layout.simulation) writeTextFile(path, "");
        return false;
    }
    return writeTextFile(path, linkagePedText(core, clusterSkipList, layout), layout.simulation);
}

}  // namespace relatix
