#include "persistence/pedigree_plot_script.h"

#include <vector>

namespace relatix {

namespace {

constexpr const char* kEnd = "\r\n";

// Everything before the last path separator; "" when there is none.
std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A text placed between double quotes in the script. Quotes and backslashes are
// escaped so that a name can never end the string early and become R code.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// The escaped content of a string literal, for lines that write the quotes themselves.
std::string literal(const std::string& text) {
    const std::string q = quoted(text);
    return q.substr(1, q.size() - 2);
}

struct Parents {
    int father = 0;  // 1-based position in the persons, 0 = none
    int mother = 0;
    int count = 0;  // relations naming the person as child with a valid parent
};

Parents parentsOf(const Pedigree& pedigree, const std::vector<Person>& persons, int child) {
    Parents parents;
    for (const Relation& relation : pedigree.relations) {
        if (relation.child != child) continue;
        if (relation.parent < 1 || relation.parent > static_cast<int>(persons.size())) continue;
        ++parents.count;
        if (persons[static_cast<size_t>(relation.parent - 1)].isMale) {
            if (parents.father == 0) parents.father = relation.parent;
        } else if (parents.mother == 0) {
            parents.mother = relation.parent;
        }
    }
    return parents;
}

std::string affectedList(const Pedigree& pedigree, const std::vector<Person>& persons) {
    std::string list = ", affected=c(";
    for (size_t i = 0; i < persons.size(); ++i)
        list += std::string(i ? "," : "") + (persons[i].dna.empty() ? "0" : "1");
    for (size_t i = 0; i < persons.size(); ++i)
        if (parentsOf(pedigree, persons, static_cast<int>(i) + 1).count == 1) list += ",0";
    return list + ")";
}

}  // namespace

std::string pedigreeImageBaseName(const Core& core, const std::string& pedigreeName) {
    std::string file = fileNameOf(core.projectPath);
    file.resize(file.size() > 4 ? file.size() - 4 : 0);
    std::string name = pedigreeName;
    for (char& c : name)
        if (c == ':') c = '-';
    return file + " - " + name;
}

std::string pedigreeImagePath(const Core& core, const std::string& pedigreeName,
                              const std::string& extension) {
    if (core.projectPath.empty()) return {};
    const std::string folder = folderOf(core.projectPath);
    return (folder.empty() ? std::string() : folder + "/") + "Pedigree plots/" +
           pedigreeImageBaseName(core, pedigreeName) + extension;
}

std::string pedigreePlotScript(const Core& core, const Pedigree& pedigree) {
    const std::vector<Person>& persons = core.genotypeTable.pedigreePersons;
    std::string s;
    s += std::string("# Start the Kovarian package") + kEnd;
    s += std::string("foo = library(Kovarian, logical.return=TRUE)") + kEnd;
    s += std::string("if(!foo)") + kEnd;
    s += std::string("{") + kEnd;
    s += std::string("foo2 = FALSE") + kEnd;
    s += std::string(
             "install.packages(\"Kovarian\"); foo2 = library(Kovarian, "
             "logical.return=T);") +
         kEnd;
    s += std::string("}") + kEnd;

    if (!persons.empty()) {
        s += std::string("#Define the persons involved in the case") + kEnd;
        s += "persons <- c(";
        for (size_t i = 0; i < persons.size(); ++i) s += (i ? ", " : "") + quoted(persons[i].name);
        s += std::string(")") + kEnd;
        s += "sex <- c(";
        for (size_t i = 0; i < persons.size(); ++i)
            s += std::string(i ? ", " : "") + (persons[i].isMale ? "\"Male\"" : "\"Female\"");
        s += std::string(")") + kEnd;
    }

    s += std::string("#Define the pedigree") + kEnd;
    std::string dads;
    std::string moms;
    std::string sexes;
    for (size_t i = 0; i < persons.size(); ++i) {
        const Parents parents = parentsOf(pedigree, persons, static_cast<int>(i) + 1);
        const char* separator = i ? "," : "";
        dads += separator + (parents.father
                                 ? quoted(persons[static_cast<size_t>(parents.father - 1)].name)
                                 : std::string("NA"));
        moms += separator + (parents.mother
                                 ? quoted(persons[static_cast<size_t>(parents.mother - 1)].name)
                                 : std::string("NA"));
        sexes += std::string(i ? ", " : "") + (persons[i].isMale ? "\"male\"" : "\"female\"");
    }
    s += "ped1 <- KovarianPedigree(id=persons, dadid=c(" + dads + "), momid=c(" + moms +
         "), sex=c(" + sexes + "))" + kEnd;
    s += std::string("pedigrees <- list(ped1)") + kEnd;

    const std::string affected = affectedList(pedigree, persons);
    const std::string title = literal(pedigree.name);
    s += "plot(ped1" + affected +
         ", mar = c(4.1, 4, 4.1, 4), cex=0.9, angle=45, density=25);title(\"" + title + "\")" +
         kEnd;
    if (core.projectPath.empty()) return s;

    std::string folder = folderOf(core.projectPath);
    for (char& c : folder)
        if (c == '\\') c = '/';
    const std::string base = literal(pedigreeImageBaseName(core, pedigree.name));
    const std::string secondPlot = "plot(ped1" + affected +
                                   ",cex=0.8, mar = c(4, 2, 4, 2),angle=45, density=25); title(\"" +
                                   title + "\");" + kEnd;
    s += "mainDir <- \"" + literal(folder) + "\"" + kEnd;
    s += std::string("subDir <- \"Pedigree plots\"") + kEnd;
    s += std::string("dir.create(file.path(mainDir, subDir))") + kEnd;
    s += std::string("setwd(file.path(mainDir, subDir))") + kEnd;
    s += "png(\"" + base + ".png\", width=349, height=235)" + kEnd;
    s += secondPlot;
    s += std::string("dev.off()") + kEnd;
    s += "jpeg(\"" + base + ".jpg\", width=349, height=235)" + kEnd;
    s += secondPlot;
    s += std::string("dev.off()") + kEnd;
    return s;
}

}  // namespace relatix
