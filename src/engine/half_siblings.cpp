#include "engine/half_siblings.h"

namespace relatix {
namespace {

constexpr int kDifferentMothersIndex = 6;  // catalogue index of "Half Siblings different mothers"

}  // namespace

void CHalfSiblings::setupGenotypes() {
    if (meioses() == 0) {
        addTypedPerson(first);
        addTypedPerson(second);
        const int o1 = addOtherParentAllele(first);
        const int common = addUntypedFounder();
        const int o2 = addOtherParentAllele(second);
        const Transmission t =
            catalogueIndex == kDifferentMothersIndex ? Transmission::Male : Transmission::Female;
        addChild(first, {common, 0, t}, {o1});
        addChild(second, {common, 1, t}, {o2});
        setMeioses(2);
    }
    CSibship::setupGenotypes();
}

}  // namespace relatix
