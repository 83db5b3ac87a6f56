#include "engine/bartz.h"

#include <cmath>

#include "core/preferences.h"

double bartzTemperatureExponent()
{
    return (wv_BARTZ + 1.0) * m_BARTZ - wk_BARTZ - (wv_BARTZ - wk_BARTZ + wc_BARTZ) * n_BARTZ;
}

double bartzStationCoefficient(double k, double mu, double pr, double G, double D, double rc, double areaRatio,
                               double T, double Tw)
{
    const double E = bartzTemperatureExponent();
    return C_BARTZ * k / D * std::pow(G * D / mu, m_BARTZ) * std::pow(pr, n_BARTZ)
            * std::pow(areaRatio, 0.5 + 0.5 * m_BARTZ) * std::pow(2.0 * T / (T + Tw), E) * std::pow(D / rc, curv_BARTZ);
}

double bartzChamberCoefficient(double k, double mu, double pr, double rho, double V, double Dc, double T, double Tw)
{
    const double E = bartzTemperatureExponent();
    return C_BARTZ * k / Dc * std::pow(rho * V * Dc / mu, m_BARTZ) * std::pow(pr, n_BARTZ)
            * std::pow(2.0 * T / (T + Tw), E);
}
