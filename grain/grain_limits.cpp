#include "grain/grain_limits.h"

#include "core/physical_limits.h"
#include "core/units.h"
#include "grain/grain_model.h"

namespace grain {

namespace {

// The limits as the user reads them: in the grain's unit, metres for a unit the
// conversion does not know.
class LengthRules {
public:
    explicit LengthRules(int units) : unit_(unitIndexOf(units)) { }

    double metres(double value) const { return convertToSI(unitKind::Length, value, unit_); }
    bool inRange(double value) const { return physical::lengthInRange(metres(value)); }
    // The distance the burn advances from the port to the case, half the difference of
    // the two diameters (none or negative when the port is not inside the case).
    bool webInRange(double outer, double inner) const
    {
        return (metres(outer) - metres(inner)) / 2.0 >= physical::minLength;
    }

    QString lengthRule() const
    {
        return QStringLiteral("Diameters and lengths must lie between %1 and %2")
                .arg(shown(physical::minLength), shown(physical::maxLength));
    }
    QString webRule() const
    {
        return QStringLiteral("The web between the port and the case (half the difference of the two diameters) "
                              "must be at least %1")
                .arg(shown(physical::minLength));
    }

private:
    QString shown(double metresValue) const
    {
        static const char* const names[] = {"mm", "cm", "dm", "m"};
        if (unit_ < 0 || unit_ > 3)
            return displayNumber(metresValue) + QStringLiteral(" m");
        return displayNumber(convertFromSI(unitKind::Length, metresValue, unit_)) + QLatin1Char(' ')
                + QLatin1String(names[unit_]);
    }

    int16_t unit_;
};

GrainFault fault(const char* message, const QString& rule = QString())
{
    return GrainFault{QString::fromUtf8(message), rule};
}

// A count from `lowest` to `highest`, or the field's refusal with that range.
std::optional<GrainFault> countFault(double count, double lowest, double highest, const char* message, const char* what)
{
    if (count >= lowest && count <= highest) // false for NaN
        return std::nullopt;
    return fault(message,
                 QStringLiteral("The number of %1 must lie between %2 and %3")
                         .arg(QLatin1String(what), displayNumber(lowest), displayNumber(highest)));
}

std::optional<GrainFault> combustionFault(const GrainEntry& e)
{
    if (e.combustion < RadialAndBase || e.combustion > Base)
        return fault("Invalid combustion type");
    return std::nullopt;
}

std::optional<GrainFault> cylindricalFault(const GrainEntry& e)
{
    const std::vector<double>& p = e.parameters;
    const double L = p[2];
    const LengthRules lengths(e.units);
    if (auto f = boreFault(p[0], p[1], e.units))
        return f;
    if (!lengths.inRange(L))
        return fault("Invalid length", lengths.lengthRule());
    if (auto f = chargesFault(p[3]))
        return f;
    if (auto f = sampleCountFault(e.points))
        return f;
    return combustionFault(e);
}

// A stored frontal grain is two samples of its whole face, whatever its "Points" and
// "Comb_type" (always base burning): only its two lengths count.
std::optional<GrainFault> frontalFault(const GrainEntry& e)
{
    const std::vector<double>& p = e.parameters;
    const double L = p[0], D = p[1];
    const LengthRules lengths(e.units);
    if (!lengths.inRange(D))
        return fault("Invalid exterior diameter", lengths.lengthRule());
    if (!lengths.inRange(L))
        return fault("Invalid length", lengths.lengthRule());
    return std::nullopt;
}

std::optional<GrainFault> starFault(const GrainEntry& e)
{
    const std::vector<double>& p = e.parameters;
    const double Dext = p[0], Dpoint = p[1], Din = p[2], L = p[3];
    const LengthRules lengths(e.units);
    if (!lengths.inRange(Dext))
        return fault("Invalid exterior diameter", lengths.lengthRule());
    if (!lengths.inRange(Din))
        return fault("Invalid inner diameter", lengths.lengthRule());
    if (!lengths.inRange(Dpoint))
        return fault("Invalid star point diameter", lengths.lengthRule());
    if (!lengths.webInRange(Dext, Din))
        return fault("Exterior diameter must be greater than inner diameter", lengths.webRule());
    if (Dpoint > Dext)
        return fault("Exterior diameter must be greater than star point diameter");
    if (Din > Dpoint)
        return fault("Star point diameter must be greater than inner diameter");
    if (!lengths.inRange(L))
        return fault("Invalid length", lengths.lengthRule());
    if (auto f = chargesFault(p[4]))
        return f;
    if (auto f = countFault(p[5], 2.0, physical::maxStarPoints, "Invalid number of star points", "star points"))
        return f;
    if (auto f = sampleCountFault(e.points))
        return f;
    return combustionFault(e);
}

} // namespace

std::optional<GrainFault> boreFault(double Dext, double Di, int units)
{
    const LengthRules lengths(units);
    if (!lengths.inRange(Dext))
        return fault("Invalid exterior diameter", lengths.lengthRule());
    if (!lengths.inRange(Di))
        return fault("Invalid interior diameter", lengths.lengthRule());
    if (!lengths.webInRange(Dext, Di))
        return fault("Exterior diameter must be greater than interior", lengths.webRule());
    return std::nullopt;
}

std::optional<GrainFault> chargesFault(double charges)
{
    return countFault(charges, 1.0, physical::maxCharges, "Invalid number of charges", "charges");
}

std::optional<GrainFault> sampleCountFault(int64_t points)
{
    return countFault(static_cast<double>(points), 2.0, kMaxSamples, "Invalid number of points", "points");
}

int16_t unitIndexOf(int64_t index)
{
    return index >= INT16_MIN && index <= INT16_MAX ? static_cast<int16_t>(index) : int16_t(-1);
}

std::optional<GrainFault> grainEntryFault(const GrainEntry& entry)
{
    if (entry.parameters.size() < parameterCount(entry.geometry))
        return fault("Invalid parameters");
    switch (entry.geometry) {
    case Cylindrical: return cylindricalFault(entry);
    case Frontal: return frontalFault(entry);
    case Star: return starFault(entry);
    default: return fault("Invalid geometry");
    }
}

} // namespace grain
