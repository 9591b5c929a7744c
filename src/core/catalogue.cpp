#include "core/catalogue.h"

#include <array>

namespace relatix {
namespace {

struct Entry {
    const char* first;
    const char* suffix;  // "" for a one-part name
    int size;
    std::vector<int> sexes;
    std::vector<Relation> relations;
};

// One relationship a line or two, laid out by hand.
// clang-format off
const std::vector<Entry>& entries() {
    static const std::vector<Entry> table = {
        {"Full Siblings", "(data mother)", 3, {2, 1, 1}, {{1, 2}, {4, 2}, {1, 3}, {4, 3}}},
        {"Half Siblings", "(data mother)", 3, {2, 1, 1}, {{1, 2}, {1, 3}}},
        {"Full Siblings", "", 2, {1, 1}, {{3, 1}, {4, 1}, {3, 2}, {4, 2}}},
        {"Half Siblings", "", 2, {1, 1}, {{4, 1}, {4, 2}}},
        {"Unrelated", "", 2, {1, 1}, {}},
        {"Half Siblings", "(data different mothers)", 4, {2, 2, 1, 1},
         {{1, 3}, {5, 3}, {2, 4}, {5, 4}}},
        {"Half Siblings", "different mothers", 2, {1, 1}, {{3, 1}, {3, 2}}},
        {"Three full siblings", "", 3, {1, 1, 1},
         {{4, 1}, {5, 1}, {4, 2}, {5, 2}, {4, 3}, {5, 3}}},
        {"Two full siblings and one half sibling", "", 3, {1, 1, 1},
         {{4, 1}, {5, 1}, {4, 2}, {5, 2}, {5, 3}}},
        {"Two full siblings and one half sibling (different mothers)", "", 3, {1, 1, 1},
         {{4, 1}, {5, 1}, {4, 2}, {5, 2}, {4, 3}}},
        {"Two full siblings and one unrelatead (different mothers)", "", 3, {1, 1, 1},
         {{4, 1}, {5, 1}, {4, 2}, {5, 2}}},
        {"Uncle", "(data mother)", 3, {1, 2, 1}, {{2, 3}, {6, 3}, {4, 1}, {5, 1}, {4, 6}, {5, 6}}},
        {"Uncle", "", 2, {1, 1}, {{3, 1}, {4, 1}, {3, 5}, {4, 5}, {5, 2}}},
        {"Unrelated man", "(data mother)", 3, {1, 2, 1}, {{2, 3}}},
        {"Unrelated man", "", 2, {1, 1}, {}},
        {"Grandparent", "(data mother)", 3, {1, 2, 1}, {{2, 3}, {4, 3}, {1, 4}, {5, 4}}},
        {"Grandparent", "", 2, {1, 1}, {{3, 2}, {1, 3}}},
        {"Grandparents", "(data mother)", 4, {1, 2, 2, 1}, {{1, 5}, {2, 5}, {5, 4}, {3, 4}}},
        {"Duo ", "Two unrelated", 4, {1, 2, 2, 1}, {{3, 4}}},
        {"Grandparents", "", 3, {1, 2, 1}, {{1, 4}, {2, 4}, {4, 3}}},
        {"Three unrelated", "", 3, {1, 2, 1}, {}},
        {"Unrelated", "(data mothers)", 4, {2, 2, 1, 1}, {{1, 3}, {2, 4}}},
        {"Paternity", "(trio)", 3, {1, 2, 1}, {{1, 3}, {2, 3}}},
        {"Paternity", "(duo)", 2, {1, 1}, {{1, 2}, {4, 2}}},
        {"Incest", "", 3, {1, 2, 1}, {{1, 2}, {2, 3}, {1, 3}}},
        {"No incest", "", 3, {1, 2, 1}, {{1, 2}, {2, 3}}},
    };
    // clang-format on
    return table;
}

const Entry* entryOf(int code) {
    if (code < 1 || code > static_cast<int>(entries().size())) return nullptr;
    return &entries()[static_cast<size_t>(code - 1)];
}

const std::vector<int> kThreePersonCodes = {1, 2, 8, 9, 10, 11, 12, 14, 16, 20, 21, 23, 25, 26};

}  // namespace

std::string catalogueName(int code, NameSeparator separator) {
    const Entry* entry = entryOf(code);
    if (!entry) return {};
    std::string name = entry->first;
    if (*entry->suffix) {
        name += separator == NameSeparator::Space ? " " : "\n";
        name += entry->suffix;
    }
    return name;
}

int codeOfName(const std::string& name) {
    for (int code = 1; code <= 99; ++code)
        if (catalogueName(code, NameSeparator::Space) == name) return code;
    return -1;
}

int catalogueSize(int code) {
    const Entry* entry = entryOf(code);
    return entry ? entry->size : -1;
}

std::vector<int> catalogueSexes(int code) {
    const Entry* entry = entryOf(code);
    return entry ? entry->sexes : std::vector<int>{};
}

std::vector<int> pedigreeSexesOf(int typedPersons) {
    switch (typedPersons) {
        case 2: return {1, 1, 1, 2, 1, 2, 1, 2};
        case 3: return {2, 1, 1, 1, 2, 1, 2, 1, 2};
        case 4: return {2, 1, 2, 1, 1, 2, 1, 2, 1, 2};
        default: return {};
    }
}

std::vector<int> pedigreeSexes(int code) {
    return entryOf(code) ? pedigreeSexesOf(catalogueSize(code)) : std::vector<int>{};
}

std::vector<Relation> catalogueRelationList(int code) {
    const Entry* entry = entryOf(code);
    return entry ? entry->relations : std::vector<Relation>{};
}

bool catalogueRelations(int code, Pedigree& pedigree) {
    const Entry* entry = entryOf(code);
    if (!entry) return false;
    pedigree.relations.insert(pedigree.relations.end(), entry->relations.begin(),
                              entry->relations.end());
    return true;
}

std::vector<int> catalogueAlternatives(int mainCode) {
    switch (mainCode) {
        case 3: return {4, 5, 7, 13, 15, 17, 24};
        case 4: return {3, 5, 7, 13, 15, 17, 24};
        case 5: return {3, 4, 7, 13, 15, 17, 24};
        case 7: return {3, 4, 5, 13, 17, 24};
        case 13: return {3, 4, 5, 7, 15, 17, 24};
        case 15: return {3, 4, 5, 7, 13, 17, 24};
        case 17: return {3, 4, 5, 7, 13, 15, 24};
        case 24: return {3, 4, 5, 7, 13, 15, 17};
        case 6: return {22};
        case 22: return {6};
        case 18: return {19};
        case 19: return {18};
        default: break;
    }
    bool threePerson = false;
    for (int c : kThreePersonCodes) threePerson = threePerson || c == mainCode;
    if (!threePerson) return {};
    std::vector<int> list;
    for (int c : kThreePersonCodes)
        if (c != mainCode) list.push_back(c);
    return list;
}

std::vector<ExactComponent> exactComponents(int code) {
    using C = ComponentClass;
    switch (code) {
        case 1: return {{C::FullSiblingsDataMother, {1, 2, 3}}};
        case 2: return {{C::HalfSiblingsDataMother, {1, 2, 3}}};
        case 3: return {{C::FullSiblings, {1, 2}}};
        case 4: return {{C::HalfSiblings, {1, 2}}};
        case 5: return {{C::SingleUnrelated, {1}}, {C::SingleUnrelated, {2}}};
        case 6: return {{C::PaternalHalfSiblingsDataMothers, {1, 2, 3, 4}}};
        case 7: return {{C::HalfSiblings, {1, 2}}};
        case 8: return {{C::ThreeFullSiblings, {1, 2, 3}}};
        case 9: return {{C::TwoFullSiblingsOneHalf, {1, 2, 3}}};
        case 10: return {{C::TwoFullSiblingsOnePaternalHalf, {1, 2, 3}}};
        case 11: return {{C::SingleUnrelated, {3}}, {C::FullSiblings, {1, 2}}};
        case 12: return {{C::AuntDataMother, {1, 2, 3}}};
        case 13: return {{C::Aunt, {1, 2}}};
        case 14: return {{C::Maternity, {2, 3}}, {C::SingleUnrelated, {1}}};
        case 15: return {{C::SingleUnrelated, {1}}, {C::SingleUnrelated, {2}}};
        case 16: return {{C::GrandmotherDataMother, {1, 2, 3}}};
        case 17: return {{C::GrandMother, {1, 2}}};
        case 18: return {{C::GrandParentsDataMother, {1, 2, 3, 4}}};
        case 19:
            return {{C::SingleUnrelated, {1}}, {C::SingleUnrelated, {2}}, {C::Maternity, {3, 4}}};
        case 20: return {{C::GrandParents, {1, 2, 3}}};
        case 21:
            return {
                {C::SingleUnrelated, {1}}, {C::SingleUnrelated, {2}}, {C::SingleUnrelated, {3}}};
        case 22: return {{C::Maternity, {1, 3}}, {C::Maternity, {2, 4}}};
        case 23: return {{C::Trio, {1, 2, 3}}};
        case 24: return {{C::Maternity, {1, 2}}};
        case 25: return {{C::Incest, {1, 2, 3}}};
        case 26: return {{C::NoIncest, {1, 2, 3}}};
        default: return {};
    }
}

std::vector<LinkageRowTemplate> linkageRowTemplates(int code, bool person1Male) {
    switch (code) {
        case 1: return {{"1 0 0 1 ", 0}, {"2 0 0 ", 1}, {"3 1 2 ", 2}, {"4 1 2 ", 3}};
        case 2:
            return {{"1 0 0 1 ", 0}, {"2 0 0 ", 1}, {"3 0 0 1 ", 0}, {"4 1 2 ", 2}, {"5 3 2 ", 3}};
        case 3: return {{"1 0 0 1 ", 0}, {"2 0 0 2 ", 0}, {"3 1 2 ", 1}, {"4 1 2 ", 2}};
        case 4:
            return {
                {"1 0 0 1 ", 0}, {"2 0 0 2 ", 0}, {"3 0 0 1 ", 0}, {"4 1 2 ", 1}, {"5 3 2 ", 2}};
        case 5: return {{"1 0 0 ", 1}, {"2 0 0 ", 2}};
        case 6:
            return {{"1 0 0 1 ", 0}, {"2 0 0 ", 1}, {"3 0 0 ", 2}, {"4 1 2 ", 3}, {"5 1 3 ", 4}};
        case 7:
            return {
                {"1 0 0 1 ", 0}, {"2 0 0 2 ", 0}, {"3 0 0 2 ", 0}, {"4 1 2 ", 1}, {"5 1 3 ", 2}};
        case 8:
            return {{"1 0 0 1 ", 0}, {"2 0 0 2 ", 0}, {"3 1 2 ", 1}, {"4 1 2 ", 2}, {"5 1 2 ", 3}};
        case 9:
            return {{"1 0 0 1 ", 0}, {"2 0 0 2 ", 0}, {"3 0 0 1 ", 0},
                    {"4 1 2 ", 1},   {"5 1 2 ", 2},   {"6 3 2 ", 3}};
        case 10:
            return {{"1 0 0 1 ", 0}, {"2 0 0 2 ", 0}, {"3 0 0 2 ", 0},
                    {"4 1 2 ", 1},   {"5 1 2 ", 2},   {"6 1 3 ", 3}};
        case 11:
            return {{"1 0 0 1 ", 0}, {"2 0 0 2 ", 0}, {"3 0 0 1 ", 0}, {"4 0 0 2 ", 0},
                    {"5 1 2 ", 1},   {"6 1 2 ", 2},   {"7 3 4 ", 3}};
        case 12:
            return {{"1 0 0 1 ", 0}, {"2 0 0 2 ", 0}, {"3 1 2 1 ", 0},
                    {"4 1 2 ", 1},   {"5 0 0 ", 2},   {"6 3 5 ", 3}};
        case 13:
            return {{"1 0 0 1 ", 0}, {"2 0 0 2 ", 0}, {"3 1 2 1 ", 0},
                    {"4 1 2 ", 1},   {"5 0 0 2 ", 0}, {"6 3 5 ", 2}};
        case 14:
            return {{"1 0 0 1 ", 0}, {"2 0 0 2 ", 0}, {"3 0 0 1 ", 0},
                    {"4 1 2 ", 1},   {"5 0 0 ", 2},   {"6 3 5 ", 3}};
        case 15:
            return {{"1 0 0 1 ", 0}, {"2 0 0 2 ", 0}, {"3 0 0 1 ", 0},
                    {"4 1 2 ", 1},   {"5 0 0 2 ", 0}, {"6 3 5 ", 2}};
        case 16:
            return {{"1 0 0 ", 1}, {"2 0 0 2 ", 0}, {"3 1 2 1 ", 0}, {"4 0 0 ", 2}, {"5 3 4 ", 3}};
        case 17:
            if (person1Male)
                return {{"1 0 0 ", 1},
                        {"2 0 0 2 ", 0},
                        {"3 1 2 1 ", 0},
                        {"4 0 0 2 ", 0},
                        {"5 3 4 ", 2}};
            return {
                {"1 0 0 ", 1}, {"2 0 0 1 ", 0}, {"3 2 1 1 ", 0}, {"4 0 0 2 ", 0}, {"5 3 4 ", 2}};
        case 18:
            return {{"1 0 0 ", 1}, {"2 0 0 ", 2}, {"3 1 2 1 ", 0}, {"4 0 0 ", 3}, {"5 3 4 ", 4}};
        case 19:
            return {{"1 0 0 ", 1}, {"2 0 0 ", 2}, {"3 0 0 1 ", 0}, {"4 0 0 ", 3}, {"5 3 4 ", 4}};
        case 20:
            return {{"1 0 0 ", 1}, {"2 0 0 ", 2}, {"3 1 2 1 ", 0}, {"4 0 0 2 ", 0}, {"5 3 4 ", 3}};
        case 21:
            return {{"1 0 0 ", 1}, {"2 0 0 ", 2}, {"3 0 0 1 ", 0}, {"4 0 0 2 ", 0}, {"5 3 4 ", 3}};
        case 22:
            return {{"1 0 0 1 ", 0}, {"2 0 0 1 ", 0}, {"3 0 0 ", 1},
                    {"4 0 0 ", 2},   {"5 1 3 ", 3},   {"6 2 4 ", 4}};
        case 23: return {{"1 0 0 ", 1}, {"2 0 0 ", 2}, {"3 1 2 ", 3}};
        case 24:
            if (person1Male) return {{"1 0 0 ", 1}, {"2 0 0 2 ", 0}, {"3 1 2 ", 2}};
            return {{"1 0 0 ", 1}, {"2 0 0 1 ", 0}, {"3 2 1 ", 2}};
        case 25: return {{"1 0 0 ", 1}, {"2 0 0 2 ", 0}, {"3 1 2 ", 2}, {"4 1 3 ", 3}};
        case 26:
            return {{"1 0 0 ", 1}, {"2 0 0 2 ", 0}, {"3 1 2 ", 2}, {"4 0 0 1 ", 0}, {"5 4 3 ", 3}};
        default: return {};
    }
}

}  // namespace relatix
