#include "pedigree.h"

#include <unordered_map>
#include <unordered_set>

namespace merlin {

namespace {

std::string shown(const std::string& text) {
    constexpr size_t kLimit = 40;
    return text.size() <= kLimit ? text : text.substr(0, kLimit) + "...";
}

}  // namespace

Pedigree buildPedigree(const FamilyRecord& family, Warnings* warnings) {
    Pedigree pedigree;
    const std::string where = "family " + shown(family.id);
    auto warn = [&](const std::string& kind, const std::string& text) {
        if (warnings) warnings->warn(kind, where + ": " + text);
    };
    std::unordered_map<std::string, int> index;
    const int listed = static_cast<int>(family.persons.size());
    for (int i = 0; i < listed; ++i) {
        const PersonLine& person = family.persons[i];
        if (!index.emplace(person.id, i).second && pedigree.error.empty())
            pedigree.error = "person " + shown(person.id) + " is listed twice";
        pedigree.ids.push_back(person.id);
        pedigree.listedAs.push_back(i);
    }
    pedigree.father.assign(listed, -1);
    pedigree.mother.assign(listed, -1);
    if (!pedigree.error.empty()) return pedigree;

    auto addFounder = [&](const std::string& id) {
        const int p = static_cast<int>(pedigree.ids.size());
        pedigree.ids.push_back(id);
        pedigree.listedAs.push_back(-1);
        pedigree.father.push_back(-1);
        pedigree.mother.push_back(-1);
        return p;
    };
    auto parentIndex = [&](const std::string& id, const PersonLine& child) {
        if (id == "0") return -1;
        const auto it = index.find(id);
        if (it != index.end()) return it->second;
        warn("ped-parent", "parent " + shown(id) + " of " + shown(child.id) +
                               " on pedigree file line " + std::to_string(child.line) +
                               " is not listed in the family and is added as an untyped "
                               "founder");
        const int p = addFounder(id);
        index.emplace(id, p);
        return p;
    };
    std::unordered_set<int> sexWarned;
    for (int i = 0; i < listed; ++i) {
        const PersonLine& person = family.persons[i];
        if (person.father != "0" && person.father == person.mother) {
            pedigree.error = "person " + shown(person.id) + " has the same father and mother";
            return pedigree;
        }
        int father = parentIndex(person.father, person);
        int mother = parentIndex(person.mother, person);
        if ((father < 0) != (mother < 0)) {
            warn("ped-parent", "person " + shown(person.id) +
                                   " has one parent only; an untyped founder is added");
            const int added = addFounder("(other parent of " + person.id + ")");
            (father < 0 ? father : mother) = added;
        }
        pedigree.father[i] = father;
        pedigree.mother[i] = mother;
        // A parent with many children is named once, not once per child.
        if (father >= 0 && father < listed && family.persons[father].sex == 2 &&
            sexWarned.insert(father).second)
            warn("ped-sex",
                 "father " + shown(family.persons[father].id) + " is recorded as female; accepted");
        if (mother >= 0 && mother < listed && family.persons[mother].sex == 1 &&
            sexWarned.insert(mother).second)
            warn("ped-sex",
                 "mother " + shown(family.persons[mother].id) + " is recorded as male; accepted");
    }

    const int n = pedigree.size();
    pedigree.children.assign(n, {});
    std::vector<int> waiting(n, 0);
    for (int p = 0; p < n; ++p) {
        if (pedigree.father[p] < 0) continue;
        pedigree.children[pedigree.father[p]].push_back(p);
        pedigree.children[pedigree.mother[p]].push_back(p);
        waiting[p] = 2;
    }
    // Depth-first order: a child follows its parents as soon as both are placed,
    // which keeps few persons open at a time when the likelihood walks the order.
    std::vector<int> stack;
    for (int p = n - 1; p >= 0; --p)
        if (waiting[p] == 0) stack.push_back(p);
    while (!stack.empty()) {
        const int p = stack.back();
        stack.pop_back();
        pedigree.order.push_back(p);
        const auto& kids = pedigree.children[p];
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            if (--waiting[*it] == 0) stack.push_back(*it);
    }
    if (static_cast<int>(pedigree.order.size()) < n) {
        // Every person left waits for a parent that is left too; walking up such
        // parents long enough ends inside the loop of ancestry.
        int p = 0;
        while (waiting[p] == 0) ++p;
        auto waitingParent = [&](int q) {
            return waiting[pedigree.father[q]] > 0 ? pedigree.father[q] : pedigree.mother[q];
        };
        for (int step = 0; step < n; ++step) p = waitingParent(p);
        // The loop itself, named from p down to p again: each person a parent of
        // the next, so that the user sees which lines to correct.
        std::vector<int> loop = {p};
        for (int q = waitingParent(p); q != p; q = waitingParent(q)) loop.push_back(q);
        constexpr size_t kNamed = 12;
        std::string chain = shown(pedigree.ids[p]);
        for (size_t k = loop.size(); k-- > 0;) {
            if (loop.size() - k > kNamed && k > 0) {
                chain += " -> ... (" + std::to_string(k) + " more)";
                k = 0;
            }
            chain += " -> " + shown(pedigree.ids[loop[k]]);
        }
        pedigree.error = "person " + shown(pedigree.ids[p]) +
                         " is his own ancestor (each a parent of the next: " + chain + ")";
    }
    return pedigree;
}

}  // namespace merlin
