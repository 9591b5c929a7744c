// A person's DNA at one marker as a test types it in.
#pragma once

#include <string>

#include "core/records.h"

namespace relatix::testing {

inline DnaObservation typedObservation(const std::string& marker, const std::string& allele1,
                                       const std::string& allele2) {
    DnaObservation observation;
    observation.markerName = marker;
    observation.allele1 = allele1;
    observation.allele2 = allele2;
    return observation;
}

}  // namespace relatix::testing
