#pragma once
// One elementary reaction of a propellant's kinetic mechanism.
#include <cstdint>
#include <vector>

class Reaction {
public:
    uint8_t reactantCount = 0;
    uint8_t productCount = 0;
    uint8_t thirdBodyCount = 0;
    std::vector<uint16_t> reactantSpecies;
    std::vector<double> reactantCoefficients;
    std::vector<uint16_t> productSpecies;
    std::vector<double> productCoefficients;
    bool hasThirdBody = false;
    uint8_t forwardOnly = 0;
    double A = 0.0; // pre-exponential factor, mol-cm-s-K units
    double b = 0.0; // temperature exponent
    double Ea = 0.0; // activation energy, cal/mol
    std::vector<uint16_t> thirdBodySpecies;
    std::vector<double> thirdBodyEfficiencies;
    std::vector<double> netCoefficients; // per mixture species, filled by the Mixture
    double moleChange = 0.0;

    Reaction() = default;
    // The counts are taken from the lengths of the index lists (they are kept in the
    // byte fields, clipped at 255 terms); the count arguments only document the caller's
    // intent. hasThirdBody: the reaction carries a third body [M] even when none of its
    // listed colliders was kept, in which case every species counts with efficiency 1.
    Reaction(uint8_t reactantCount, uint8_t productCount, uint8_t thirdBodyCount,
             const std::vector<uint16_t>& reactantSpecies, const std::vector<uint16_t>& productSpecies,
             const std::vector<double>& reactantCoefficients, const std::vector<double>& productCoefficients,
             uint8_t forwardOnly, double A, double b, double Ea, const std::vector<uint16_t>& thirdBodySpecies,
             const std::vector<double>& thirdBodyEfficiencies, bool hasThirdBody = false);
};
