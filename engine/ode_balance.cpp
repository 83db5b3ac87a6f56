// The chamber pressure of a grain burn point: the balance a motor reaches, not the one a
// solver start happens to fall into. A law of several intervals can give a burn point
// more than one balance (a rate that steps up at a limit) or a balance at a limit (a rate
// that steps down there): the chamber fills from the ambient pressure at ignition and
// stops at the first balance it meets, and from point to point it follows its balance,
// moving the way the gas surplus drives it when that balance vanishes.
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/flags.h"
#include "core/physical_limits.h"
#include "core/preferences.h"
#include "engine/ode.h"

double ODE::burnoutPressure() const
{
    return std::max(rocket->ambientPressure, physical::minChamberPressure);
}

std::vector<ODE::LawPiece> ODE::stableLawPieces() const
{
    const RocketVariables& rv = *rocket;
    const std::size_t n = std::min({rv.vieilleLimits.size(), rv.vieilleA.size(), rv.vieilleN.size()});
    std::vector<LawPiece> pieces;
    for (std::size_t k = 0; k < n; ++k) {
        // n >= 1 has no stable balance, and limits out of order no axis to walk along.
        if (!(rv.vieilleN[k] < 1.0) || (k > 0 && !(rv.vieilleLimits[k].first >= rv.vieilleLimits[k - 1].first)))
            return {};
        // As in the lookup: below the first interval the first law holds, above the last
        // the last, and where two intervals overlap the later one.
        const double lower = k == 0 ? 0.0 : rv.vieilleLimits[k].first;
        double upper = k + 1 == n ? std::numeric_limits<double>::infinity() : rv.vieilleLimits[k].second;
        if (k + 1 < n)
            upper = std::min(upper, rv.vieilleLimits[k + 1].first);
        if (!(upper > lower))
            continue;
        pieces.push_back({lower, upper, rv.vieilleA[k], rv.vieilleN[k]});
    }
    return pieces;
}

bool ODE::throatFluxAt(double p, std::optional<Mixture::EquilibriumStart>& lastChamber, double& flux)
{
    RocketVariables& rv = *rocket;
    rv.targetPressure = p;
    rv.chamberPressure = p;
    if (!solveChamber(p, lastChamber) || !solveSizingThroat())
        return false;
    const unsigned t = rv.throatIndex;
    flux = rv.rho[t] * rv.u[t];
    return true;
}

ODE::Balance ODE::motorBalance(std::optional<double> from, double burnoutPressure, double throat,
                               const std::vector<LawPiece>& pieces,
                               std::optional<Mixture::EquilibriumStart>& lastChamber)
{
    RocketVariables& rv = *rocket;
    const double production = rv.combustionArea * rv.propellantDensity; // kg/m per unit of burnt distance
    Balance out;
    // Gas the grain makes over gas the nozzle passes, with piece k's law at p and the
    // throat mass flux q at p: Ab rho a p^n / (At q). Within a piece of n < 1 it falls as p
    // rises (q grows about as p), so each piece holds at most one balance, a stable one.
    auto surplus = [&](std::size_t k, double p, double q) {
        return production * pieces[k].a * std::pow(p, pieces[k].n) / (throat * q);
    };
    auto pieceAt = [&](double p) -> std::optional<std::size_t> {
        for (std::size_t k = 0; k < pieces.size(); ++k)
            if (pieces[k].lower <= p && p < pieces[k].upper)
                return k;
        return std::nullopt;
    };
    auto ends = [&](BurnPoint point) {
        out.point = point;
        return out;
    };
    // A balanced point: in piece k on its law, or at a limit where the rate steps down
    // with the rate that passes the nozzle there (between the two laws' rates).
    double evaluatedAt = -1.0, flux = 0.0;
    auto probe = [&](double p) {
        if (evaluatedAt == p)
            return true;
        if (abortRequested()) {
            out.point = BurnPoint::Aborted;
            return false;
        }
        if (!throatFluxAt(p, lastChamber, flux)) {
            out.point = BurnPoint::Failed;
            return false;
        }
        evaluatedAt = p;
        return true;
    };
    auto balanced = [&](double p, double rate) {
        out.pressure = p;
        out.rate = rate;
        // The outputs of the point are those of its own chamber and throat.
        if (!probe(p))
            return out;
        rv.throatArea = production * rate / flux;
        rv.exitArea = rv.area[rv.stationCount - 1];
        return ends(p > burnoutPressure ? BurnPoint::Burning : BurnPoint::BurntOut);
    };

    // Filling from the ambient pressure, the chamber starts in the piece that holds it.
    std::optional<std::size_t> at = pieceAt(from ? *from : burnoutPressure);
    if (!at) // a start in a gap of the law: no burn rate there
        return ends(BurnPoint::Unbalanced);
    std::size_t k = *at;
    if (PRES_MAX_ITER == 0)
        return ends(BurnPoint::Unbalanced);
    // The bracket of piece k's balance: lo has a surplus (or is the piece's lower end,
    // not yet probed), hi a deficit (or is its upper end, not yet probed).
    double lo = std::max(pieces[k].lower, burnoutPressure), hi = pieces[k].upper;
    bool loProbed = false, hiProbed = false;
    // A piece holds one balance at most, so a fill may be searched from any pressure of
    // the piece: the first estimate where it lies in the piece (a law of one interval is
    // searched as it always was), and only a balance below it asks for a chamber at the
    // ambient pressure, which in vacuum is the 1 Pa floor.
    double p = from ? *from : PRES_INITIAL_ESTIMATE;
    if (!from && !(p >= lo && p < hi))
        p = p < lo ? lo : std::max(lo, 0.5 * hi);
    // Every probe counts; the limits of a law of N intervals add at most 2 N probes.
    const uint64_t budget = uint64_t(PRES_MAX_ITER) + 2 * pieces.size() + 2;
    for (uint64_t pass = 0; pass < budget; ++pass) {
        if (!probe(p))
            return out;
        const LawPiece& piece = pieces[k];
        const double R = surplus(k, p, flux);
        if (!std::isfinite(R) || !(R > 0.0))
            return ends(BurnPoint::Unbalanced);
        if (std::fabs(R - 1.0) < PRES_TOL)
            return balanced(p, piece.a * std::pow(p, piece.n));
        if (R > 1.0) {
            lo = p;
            loProbed = true;
        } else {
            hi = p;
            hiProbed = true;
            // A deficit at the pressure where the burn ends: the chamber empties.
            if (p <= burnoutPressure)
                return ends(BurnPoint::BurntOut);
        }
        // The balance of this piece if c* did not change with pressure:
        // Ab rho a p^n = At p/c* gives p* = p R^(1/(1-n)).
        double next = p * std::pow(R, 1.0 / (1.0 - piece.n));
        if (R > 1.0 && !(next < hi) && !hiProbed && std::isfinite(hi)) {
            // The surplus may last up to the piece's upper limit: what happens there
            // decides whether the chamber stops inside the piece.
            if (!probe(hi))
                return out;
            const double below = surplus(k, hi, flux);
            if (!(below > 1.0)) {
                hiProbed = true;
                next = std::sqrt(lo * hi);
            } else {
                if (k + 1 == pieces.size() || pieces[k + 1].lower > hi)
                    return ends(BurnPoint::Unbalanced); // the law has no rate above
                const double above = surplus(k + 1, hi, flux);
                // Surplus below the limit and none above: the chamber sits at the limit.
                if (!(above > 1.0 + PRES_TOL))
                    return balanced(hi, throat * flux / production);
                ++k;
                lo = hi;
                loProbed = true;
                hi = pieces[k].upper;
                hiProbed = false;
                next = lo * std::pow(above, 1.0 / (1.0 - pieces[k].n));
            }
        } else if (R < 1.0 && !(next > lo) && !loProbed) {
            // The deficit may last down to the piece's lower end: the end of the burn, or a
            // limit below which the law makes more gas.
            const double bottom = std::max(piece.lower, burnoutPressure);
            if (!probe(bottom))
                return out;
            const double aboveBottom = surplus(k, bottom, flux);
            if (aboveBottom > 1.0) {
                loProbed = true;
                lo = bottom;
                next = std::sqrt(lo * hi);
            } else {
                if (bottom == burnoutPressure)
                    return ends(BurnPoint::BurntOut);
                if (k == 0 || pieces[k - 1].upper < bottom)
                    return ends(BurnPoint::Unbalanced); // the law has no rate below
                const double below = surplus(k - 1, bottom, flux);
                // Deficit above the limit and surplus below: the chamber sits at the limit.
                if (!(below < 1.0 - PRES_TOL))
                    return balanced(bottom, throat * flux / production);
                --k;
                hi = bottom;
                hiProbed = true;
                lo = std::max(pieces[k].lower, burnoutPressure);
                loProbed = false;
                next = hi * std::pow(below, 1.0 / (1.0 - pieces[k].n));
            }
        }
        // Inside the bracket; halved in ln p where the update leaves it.
        if (!(next > lo && next < hi))
            next = std::isfinite(hi) ? std::sqrt(lo * hi) : 2.0 * lo;
        // A balance above the pressures of a real chamber is no result, and the
        // equilibrium need not be tried there.
        if (!(next < physical::maxChamberPressure))
            return ends(BurnPoint::Unbalanced);
        p = next;
    }
    return ends(BurnPoint::Unbalanced);
}
