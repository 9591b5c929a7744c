// A small but complete case for the project-file tests.
#pragma once

#include "core/core.h"

namespace relatix::testing {

inline Core makeSampleCase() {
    Core core("/prog");
    Marker d1("D1S1656", 1, 244.2);
    d1.maleMutation = {2, 0.0021, 0.00011, 0.5};
    d1.femaleMutation = {3, 0.0009, 0.00007, 0.25};
    Marker th01("TH01", 11, 4.5);
    th01.maleMutation = {1, 0.001, 0, 0.1};
    th01.femaleMutation = {1, 0.0005, 0, 0.1};
    Marker vwa("vWA", 12, 15.6);
    core.markerMap.markers = {d1, th01, vwa};

    Population a;
    a.name = "Norway";
    a.theta = 0.02;
    Marker pa("D1S1656", 1, 244.2);
    pa.alleles = {{"11", 0.0712345678}, {"12", 0.1}, {"15.3", 0.8287654322}};
    Marker pb("TH01", 11, 4.5);
    pb.alleles = {{"6", 0.25}, {"9.3", 0.75}};
    a.markers = {pa, pb};
    Population b;
    b.name = "Somewhere else";
    Marker pc("vWA", 12, 15.6);
    pc.alleles = {{"16", 0.4}, {"17", 0.6}};
    b.markers = {pc};
    core.populations = {a, b};
    core.activePopulation = 1;

    core.selectMainHypothesis(3);         // Half Siblings
    core.alternativeHypotheses = {0, 3};  // Full Siblings, Uncle
    core.addAlternativePedigree(3);
    core.addAlternativePedigree(13);

    Person p1("Anna", false);
    p1.dna = {{0, "D1S1656", 0, "11", "15.3"}, {0, "TH01", 0, "9.3", "6"}};
    Person p2("Bo  ", true);  // trailing blanks are part of the name
    p2.dna = {{0, "TH01", 0, "6", "6"}};
    core.persons = {p1, p2};

    core.pedigreeSettings.threshold[0] = 1e-5;
    core.pedigreeSettings.threshold[12] = 0.0025;
    core.pedigreeSettings.steps[12] = 3;
    core.pedigreeSettings.lumpAlleles[12] = false;
    return core;
}

}  // namespace relatix::testing
