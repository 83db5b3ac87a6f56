#include "engine/reaction.h"

#include <algorithm>

Reaction::Reaction(uint8_t, uint8_t, uint8_t, const std::vector<uint16_t>& reactantSpecies_,
                   const std::vector<uint16_t>& productSpecies_, const std::vector<double>& reactantCoefficients_,
                   const std::vector<double>& productCoefficients_, uint8_t forwardOnly_, double A_, double b_,
                   double Ea_, const std::vector<uint16_t>& thirdBodySpecies_,
                   const std::vector<double>& thirdBodyEfficiencies_, bool hasThirdBody_)
    : reactantSpecies(reactantSpecies_), reactantCoefficients(reactantCoefficients_), productSpecies(productSpecies_),
      productCoefficients(productCoefficients_), forwardOnly(forwardOnly_), A(A_), b(b_), Ea(Ea_),
      thirdBodySpecies(thirdBodySpecies_), thirdBodyEfficiencies(thirdBodyEfficiencies_)
{
    // The counts follow the lists actually given, so no reader goes past them; a term
    // without its coefficient (or a collider without its efficiency) is dropped.
    auto keep = [](auto& indices, auto& values) {
        std::size_t n = std::min<std::size_t>({indices.size(), values.size(), 255});
        indices.resize(n);
        values.resize(n);
        return static_cast<uint8_t>(n);
    };
    reactantCount = keep(reactantSpecies, reactantCoefficients);
    productCount = keep(productSpecies, productCoefficients);
    thirdBodyCount = keep(thirdBodySpecies, thirdBodyEfficiencies);
    hasThirdBody = thirdBodyCount != 0 || hasThirdBody_;
    netCoefficients.reserve(200);
    double products = 0.0, reacting = 0.0;
    for (double c : productCoefficients)
        products += c;
    for (double c : reactantCoefficients)
        reacting += c;
    moleChange = products - reacting;
}
