// The diagnostic dump of a relationship's tables into the Debug folder.
#include "core/core.h"
#include "engine/table_setup.h"
#include "platform/trace_file.h"

namespace relatix {
namespace {

void printTable(TraceFile& out, const AlleleTable& table) {
    for (int c = 0; c < table.slices; ++c)
        for (int b = 0; b < table.rows; ++b) {
            for (int a = 0; a < table.columns; ++a) out << (a ? "\t" : "") << table.at(c, b, a);
            out << "\n";
        }
}

void printMatrix(TraceFile& out, const MutationMatrix& m) {
    for (int i = 0; i < m.size(); ++i) {
        for (int j = 0; j < m.size(); ++j) out << (j ? "\t" : "") << m.at(i, j);
        out << "\n";
    }
}

}  // namespace

void CTableSetup::printSetups() const {
    TraceFile out("printSetups");
    if (!out.enabled()) return;
    out << "First print allele probabilities\n";
    for (size_t i = 0; i < alleleProbabilities.size(); ++i) {
        out << "Marker " << i << "\n";
        printTable(out, alleleProbabilities[i]);
    }
    out << "Printing male mutation matrix\n";
    for (size_t i = 0; i < maleMutationMatrices.size(); ++i) {
        out << "Marker " << i << "\n";
        printMatrix(out, maleMutationMatrices[i]);
    }
    out << "Printing recombination map\n";
    for (size_t i = 0; i < recombinationFractions.size(); ++i)
        out << "Marker " << i << "\t" << recombinationFractions[i] << "\n";
    out << "Printing founder alleles\n";
    for (size_t i = 0; i < founderSetups.size(); ++i) {
        out << "Marker " << i << "\n";
        const FounderSetups& setups = founderSetups[i];
        std::vector<int> slots(static_cast<size_t>(setups.slotCount()));
        for (int h = 0; h < setups.size(); ++h) {
            setups.decode(h, slots.data());
            for (size_t j = 0; j < slots.size(); ++j) out << (j ? "\t" : "") << slots[j];
            out << "\n";
        }
        out.flush();  // large setup lists are written marker by marker
    }
    out << "Printing genotypes\n";
    for (size_t i = 0; i < typedGenotypes.size(); ++i) {
        out << "Marker " << i << "\n";
        for (size_t j = 0; j < typedGenotypes[i].size(); ++j)
            out << (j ? "\t" : "") << typedGenotypes[i][j];
        out << "\n";
    }
    out << "Printing genders\n";
    for (int s : sexes) out << s << "\n";
}

}  // namespace relatix
