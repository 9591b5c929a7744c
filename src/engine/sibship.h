// A family of founders and their typed children, the shape shared by the
// sibling relationships: every typed child receives one allele from each of
// two sources, a founder's two slots chosen by a pattern bit, or a single slot
// that holds one of the child's own alleles and stands for an untyped parent
// that has no other typed child. Such a single transmission carries nothing
// from one marker to the next (the founder alleles are drawn independently at
// each marker), so it needs no pattern bit; every other meiosis has its own bit.
#pragma once

#include <vector>

#include "engine/relationship.h"

namespace relatix {

class CSibship : public CRelationship {
public:
    void setupGenotypes() override;
    void setupInheritancePatterns() override { listAllPatterns(meioses_); }
    double dataProbability(int marker, int pattern, int setup) const override;
    void dataProbabilities(int marker, int first, int count, double* out) const override;
    // Each child's factor reads the two slots its sources pass on.
    void patternEmissions(int marker, double* out) const override;

protected:
    enum class Transmission { Female, Male, Unchanged };
    // One parent of a child: the first slot of the parent's group and the
    // pattern bit that picks one of its two slots (-1: the slot itself).
    struct Source {
        int slot = 0;
        int bit = -1;
        Transmission matrix = Transmission::Unchanged;
    };

    // The typed persons in the order their alleles stand in typedGenotypes.
    void addTypedPerson(int person);
    // Founder slot groups, in the order of the setup; each returns its first slot.
    int addTypedFounder(int person);      // the person's two alleles in both orders
    int addUntypedFounder();              // ordered pairs that pass the steps test
    int addOtherParentAllele(int child);  // one of the child's two alleles
    // A typed child and the two sources of its alleles.
    void addChild(int person, Source first, Source second);
    void setMeioses(int meioses) { meioses_ = meioses; }
    int meioses() const { return meioses_; }

private:
    enum class GroupKind { TypedFounder, UntypedFounder, OtherParentAllele };
    struct Group {
        GroupKind kind;
        int person;  // the typed founder, or the child whose allele the slot holds
    };
    struct Child {
        int person;
        Source first;
        Source second;
    };

    int typedPosition(int person) const;
    // Per marker, per child: the probability of the child's genotype given the
    // alleles (a, b) that its first and second source pass on, n x n.
    void prepareMarker(int marker) const;

    std::vector<int> typedPersons_;
    std::vector<Group> groups_;
    std::vector<Child> children_;
    int slots_ = 0;
    int meioses_ = 0;

    mutable int preparedMarker_ = -1;
    mutable int preparedAlleles_ = 0;
    mutable std::vector<std::vector<double>> childGiven_;
    // Per child and pattern: 2 * (first source's bit) + (second source's bit).
    mutable std::vector<std::vector<int>> combination_;
};

}  // namespace relatix
