#pragma once

// The clothoid relation L = A² × |1/R1 − 1/R2| between the spiral parameter A, the spiral length L
// and the radii at the spiral's ends. A radius of 0 (or not above 0.001) is a straight. Each
// operation works out one field from the other three.
struct SpiralParameters
{
    double A = 0.0;
    double L = 0.0;
    // The larger radius.
    double R1 = 0.0;
    // The smaller radius.
    double R2 = 0.0;

    // The record the calculator works on, kept for the whole run.
    static SpiralParameters& instance();

    bool calcA();
    // False, leaving R1 as it was, for a spiral shorter than 0.001.
    bool calcLargerRadius();
    bool calcSmallerRadius();
};
