// "View data (Beta)" on DNA data: a grid of the given persons' genotypes marker by
// marker (a "Gender" row first), filtered by chromosome and by marker name, and
// the export of those persons' genotypes as a tab-separated table.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"
#include "dialogs/modal_presenter.h"

namespace relatix {

struct DnaDataViewColumn {
    std::string heading;
    int width = 80;
};

class DnaDataViewPresenter : public ModalPresenter {
public:
    // The persons shown: the case's list, or the ancestry profiles.
    DnaDataViewPresenter(const Core& core, const std::vector<Person>& persons, UserInterface& ui);

    std::string title() const override { return "View data (Beta)"; }

    // "Marker", "Chr", then "1. <name>" ... per person.
    const std::vector<DnaDataViewColumn>& columns() const { return columns_; }
    const std::vector<std::vector<std::string>>& rows() const { return rows_; }

    // "All", "1" ... "22".
    static const std::vector<std::string>& chromosomeOptions();
    int chromosomeFilter() const { return chromosome_; }
    void setChromosomeFilter(int index);
    const std::string& markerNameFilter() const { return markerName_; }
    void setMarkerNameFilter(const std::string& text);

    // The file dialog, the transpose question, and the table of the persons shown.
    void exportGenotypes();
    void close() { closeWith(DialogResult::Closed); }

private:
    void refill();

    const Core& core_;
    const std::vector<Person>& persons_;
    UserInterface& ui_;
    int chromosome_ = 0;
    std::string markerName_;
    std::vector<DnaDataViewColumn> columns_;
    std::vector<std::vector<std::string>> rows_;
};

// A grid cell: "a1, a2" with "-" for an empty first allele and ", -" for an empty
// second one, the one allele twice when only one was typed, "" when none was.
std::string dnaDataViewCell(const Person& person, const std::string& markerName);

}  // namespace relatix
