#include "grain/grain_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/number_text.h"
#include "core/preferences.h"
#include "grain/grain_limits.h"

namespace grain {

namespace {

// Decimal fields: a number above 0.
bool readPositive(const QString& text, double& value)
{
    const std::optional<double> v = readNumber(text);
    value = v.value_or(0.0);
    return v && value > 0.0;
}

bool anyEmpty(std::initializer_list<const QString*> texts)
{
    return std::any_of(texts.begin(), texts.end(), [](const QString* t) { return t->isEmpty(); });
}

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

GrainCalculation refused(const GrainFault& fault)
{
    GrainCalculation result;
    result.status = CalculationStatus::Invalid;
    result.message = fault.message;
    result.rule = fault.rule;
    return result;
}

GrainCalculation accepted(const GrainEntry& entry)
{
    GrainCalculation result;
    result.status = CalculationStatus::Done;
    result.entry = entry;
    return result;
}

QString percent(double value)
{
    // A grain without area has no spread: never show "nan%".
    return displayNumber(std::isfinite(value) ? value : 0.0) + QStringLiteral("%");
}

// Largest and smallest area, and the figures every non-frontal grain shows.
GrainFigures spreadFigures(const FloatCurve& curve, double n)
{
    GrainFigures f;
    const auto [lowest, highest] = std::minmax_element(curve.area.begin(), curve.area.end());
    const double average = curve.areaSum / n;
    f.maximumArea = displayNumber(*highest);
    f.minimumArea = displayNumber(*lowest);
    f.averageArea = displayNumber(average);
    f.deviation = percent(average != 0.0 ? (*highest - *lowest) * 100.0 / average : 0.0);
    return f;
}

} // namespace

QString displayNumber(double value)
{
    return QString::number(value, 'g', NUM_DIS_PREC);
}

GrainEntry grainEntryFromFields(int geometry, int units, int combustion, const QString& samples,
                                const CylindricalInputs& cylindrical, const FrontalInputs& frontal,
                                const StarInputs& star)
{
    GrainEntry entry;
    entry.geometry = geometry;
    entry.units = units;
    entry.combustion = combustion;
    entry.points = readUnsignedNumber(samples).value_or(0u);
    auto decimal = [](const QString& t) { return readNumber(t).value_or(notANumber); };
    auto count = [](const QString& t) {
        const std::optional<uint32_t> v = readUnsignedNumber(t);
        return v ? static_cast<double>(*v) : notANumber;
    };
    switch (geometry) {
    case Cylindrical:
        entry.parameters = {decimal(cylindrical.exteriorDiameter), decimal(cylindrical.interiorDiameter),
                            decimal(cylindrical.length), count(cylindrical.charges)};
        break;
    case Frontal: entry.parameters = {decimal(frontal.length), decimal(frontal.diameter)}; break;
    case Star:
        entry.parameters = {decimal(star.exteriorDiameter), decimal(star.pointDiameter), decimal(star.innerDiameter),
                            decimal(star.length),           count(star.charges),         count(star.starPoints)};
        break;
    default: break;
    }
    return entry;
}

GrainCalculation GrainModel::calculateCylindrical(const CylindricalInputs& in, const QString& samples, int combustion,
                                                  int units)
{
    parameters_.clear();
    if (anyEmpty({&in.exteriorDiameter, &in.interiorDiameter, &in.length, &in.charges, &samples}))
        return {};
    if (combustion < RadialAndBase || combustion > Base)
        return {}; // no combustion type chosen
    const GrainEntry e = grainEntryFromFields(Cylindrical, units, combustion, samples, in, {}, {});
    if (const std::optional<GrainFault> f = grainEntryFault(e))
        return refused(*f);
    const std::vector<double>& p = e.parameters;
    const double Dext = p[0], Di = p[1], L = p[2];
    const auto N = static_cast<uint32_t>(p[3]);
    const auto n = static_cast<uint32_t>(e.points);

    sampleCount_ = n;
    combustionType_ = static_cast<uint8_t>(combustion);
    parameters_ = p;

    GrainCalculation result = accepted(e);
    result.curve = cylindricalCurve(Dext, Di, L, N, n, combustion);
    result.figures = spreadFigures(result.curve, n);
    const double R = Dext / 2.0, r = Di / 2.0;
    result.figures.fill = percent((1.0 - r * r / (R * R)) * 100.0);
    result.figures.volume = displayNumber(N * L * kPi * (R * R - r * r));
    return result;
}

GrainCalculation GrainModel::calculateFrontal(const FrontalInputs& in, const QString& samples, int units)
{
    parameters_.clear();
    if (anyEmpty({&in.diameter, &in.length, &samples}))
        return {};
    // A frontal grain burns on one face only.
    const GrainEntry e = grainEntryFromFields(Frontal, units, Base, samples, {}, in, {});
    if (const std::optional<GrainFault> f = grainEntryFault(e))
        return refused(*f);
    // A stored frontal grain is two samples; the tab draws as many as it is asked for.
    if (const std::optional<GrainFault> f = sampleCountFault(e.points))
        return refused(*f);
    const double L = e.parameters[0], D = e.parameters[1];
    const auto n = static_cast<uint32_t>(e.points);

    sampleCount_ = n;
    combustionType_ = Base;
    parameters_ = {D, L};

    GrainCalculation result = accepted(e);
    result.curve = frontalCurve(D, L, n);
    const double face = kPi * (D / 2.0) * (D / 2.0);
    const QString constant = QStringLiteral("constant area");
    result.figures
            = {constant, constant, displayNumber(face), constant, QStringLiteral("100%"), displayNumber(L * face)};
    return result;
}

GrainCalculation GrainModel::calculateStar(const StarInputs& in, const QString& samples, int combustion, int units)
{
    parameters_.clear();
    if (anyEmpty({&in.exteriorDiameter, &in.innerDiameter, &in.pointDiameter, &in.starPoints, &in.length, &in.charges,
                  &samples}))
        return {};
    if (combustion < RadialAndBase || combustion > Base)
        return {};
    const GrainEntry e = grainEntryFromFields(Star, units, combustion, samples, {}, {}, in);
    if (const std::optional<GrainFault> f = grainEntryFault(e))
        return refused(*f);
    // The rounded-point model has no curve for a star burning on its bore and both ends.
    if (combustion == RadialAndBase)
        return refused(
                GrainFault{QStringLiteral("Radial & base combustion cannot be calculated for star charges"), {}});
    const std::vector<double>& p = e.parameters; // Dext, Dpoint, Din, L, N, nStar
    const double Dext = p[0], Dpoint = p[1], Din = p[2], L = p[3];
    const auto N = static_cast<uint32_t>(p[4]), nStar = static_cast<uint32_t>(p[5]);
    const auto n = static_cast<uint32_t>(e.points);

    sampleCount_ = n;
    combustionType_ = static_cast<uint8_t>(combustion);
    parameters_ = {Dext, Din, Dpoint, L, static_cast<double>(N), static_cast<double>(nStar)};

    GrainCalculation result = accepted(e);
    result.curve = starCurve(Dext, Din, Dpoint, L, N, nStar, n, combustion);
    result.figures = spreadFigures(result.curve, n);
    const double R = Dext / 2.0;
    const double port = starShape(Din / 2.0, Dpoint / 2.0, nStar).portArea;
    result.figures.fill = percent((1.0 - port / (kPi * R * R)) * 100.0);
    result.figures.volume = displayNumber(N * L * (kPi * R * R - port));
    return result;
}

// ---- Length sweep -------------------------------------------------------------------

double sweepCandidateCount(double minimum, double maximum, double step)
{
    return std::trunc(std::trunc(maximum - minimum) / step + 1.0);
}

SweepOutcome sweepNeutralLength(const SweepInputs& in)
{
    SweepOutcome out;
    if (anyEmpty({&in.exteriorDiameter, &in.interiorDiameter, &in.charges, &in.samples, &in.maximum, &in.minimum,
                  &in.step})) {
        out.message = QStringLiteral("Missing data for optimization");
        return out;
    }
    out.status = SweepOutcome::Invalid;
    auto refuse = [&out](const char* message) {
        out.message = QString::fromUtf8(message);
        return out;
    };
    auto refuseFor = [&out](const GrainFault& fault) {
        out.message = fault.message;
        out.rule = fault.rule;
        return out;
    };
    // The cylinder's fields as a calculation reads them; its length is the sweep's own.
    const GrainEntry cylinder = grainEntryFromFields(
            Cylindrical, in.units, RadialAndBase, in.samples,
            CylindricalInputs{in.exteriorDiameter, in.interiorDiameter, QString(), in.charges}, {}, {});
    const std::vector<double>& p = cylinder.parameters;
    if (auto f = boreFault(p[0], p[1], in.units))
        return refuseFor(*f);
    if (auto f = chargesFault(p[3]))
        return refuseFor(*f);
    if (auto f = sampleCountFault(cylinder.points))
        return refuseFor(*f);
    const double Dext = p[0], Di = p[1];
    const auto N = static_cast<uint32_t>(p[3]);
    const auto n = static_cast<uint32_t>(cylinder.points);
    double Lmin, Lmax, step;
    if (!readPositive(in.minimum, Lmin))
        return refuse("Invalid minimum length for optimization");
    // A maximum below the minimum gives no candidate at all.
    if (!readPositive(in.maximum, Lmax) || Lmax < Lmin)
        return refuse("Invalid maximum length for optimization");
    if (!readPositive(in.step, step))
        return refuse("Invalid length step for optimization");
    const double count = sweepCandidateCount(Lmin, Lmax, step);
    // A step so fine that the sweep would hold the window for minutes.
    if (!(count >= 1.0) || count * n > kMaxSweepEvaluations)
        return refuse("Invalid length step for optimization");
    if (in.combustion != RadialAndBase)
        return refuse("Optimization only viable for frontal & base combustion");

    out.status = SweepOutcome::Done;
    out.candidates = static_cast<uint32_t>(count);
    const double R = Dext / 2.0, r = Di / 2.0;
    const float intervals = static_cast<float>(n - 1);
    bool first = true;
    for (uint32_t k = 0; k < out.candidates; ++k) {
        const float L = static_cast<float>(Lmin + k * step);
        const float yMax = Dext - Di > L ? L / 2.0f : static_cast<float>((Dext - Di) / 2.0);
        const float spacing = yMax / intervals;
        float lowest = 0.0f, highest = 0.0f;
        double sum = 0.0;
        for (uint32_t j = 0; j < n; ++j) {
            const float y = spacing * static_cast<float>(j);
            const float A
                    = static_cast<float>(N * (kTwoPi * (r + y) * (L - 2.0 * y) + kTwoPi * (R * R - (r + y) * (r + y))));
            lowest = j == 0 ? A : std::min(lowest, A);
            highest = j == 0 ? A : std::max(highest, A);
            sum += A;
        }
        const float deviation = static_cast<float>((highest - lowest) * static_cast<double>(n) / sum);
        if (first || deviation < out.deviation) {
            first = false;
            out.deviation = deviation;
            out.winner = k;
            out.length = L;
        }
    }
    return out;
}

// ---- Grain picture ------------------------------------------------------------------

GrainPicture grainPicture(const std::vector<double>& parameters, uint8_t combustion, uint8_t views, double burnt,
                          double area)
{
    GrainPicture pic;
    const std::size_t count = parameters.size();
    if (count != 2 && count != 4 && count != 6)
        return pic;
    const bool frontal = count == 2, cylindrical = count == 4;
    const bool radialView = views != 2, axialView = views != 1;
    const double P0 = parameters[0];
    const double Lp = frontal ? parameters[1] : cylindrical ? parameters[2] : parameters[3];

    double W0 = P0 / 2.0;
    if (radialView)
        W0 += 1.5 * P0;
    if (axialView)
        W0 += P0 / 2.0 + Lp;
    const double k = 100.0 / (2.0 * P0);
    pic.scale = k;
    pic.width = W0 * k;
    pic.height = 100.0;
    const double W = pic.width, H = pic.height;
    pic.sceneRect = QRectF(-W / 2.0, -H / 2.0, W, H);

    const double d = P0 * k, l = Lp * k, b = burnt * k;
    auto shape = [&pic](PictureShape::Kind kind, const QRectF& rect, PictureColour pen, PictureColour brush) {
        PictureShape s;
        s.kind = kind;
        s.rect = rect;
        s.pen = pen;
        s.brush = brush;
        pic.shapes.push_back(s);
    };
    auto burningLine = [&pic](double x, double half) {
        PictureShape s;
        s.kind = PictureShape::Line;
        s.line = QLineF(x, -half, x, half);
        s.pen = PictureColour::Burning;
        s.brush = PictureColour::Burning;
        pic.shapes.push_back(s);
    };
    using C = PictureColour;

    if (radialView) {
        shape(PictureShape::Ellipse, QRectF(-W / 2.0 + d / 2.0, -d / 2.0, d, d), C::Grain, C::Grain);
        if (cylindrical) {
            const double di = parameters[1] * k;
            const double left = -W / 2.0 + d - di / 2.0;
            shape(PictureShape::Ellipse, QRectF(left, -di / 2.0, di, di), C::Background, C::Background);
            if (combustion != Base)
                shape(PictureShape::Ellipse, QRectF(left - b, -di / 2.0 - b, di + 2.0 * b, di + 2.0 * b), C::Burning,
                      C::Background);
        }
    }
    if (axialView) {
        const double x0 = W / 2.0 - d / 2.0 - l;
        const QRectF charge(x0, -d / 2.0, l, d);
        if (frontal) {
            shape(PictureShape::Rectangle, charge, C::Grain, C::Grain);
            shape(PictureShape::Rectangle, QRectF(x0, -d / 2.0, b, d), C::Background, C::Background);
            burningLine(x0 + b, d / 2.0);
        } else if (combustion == Radial) {
            shape(PictureShape::Rectangle, charge, C::Grain, C::Grain);
        } else {
            // Both end faces recede by the burnt distance.
            shape(PictureShape::Rectangle, charge, C::Background, C::Background);
            shape(PictureShape::Rectangle, QRectF(x0 + b, -d / 2.0, l - 2.0 * b, d), C::Grain, C::Grain);
            burningLine(x0 + b, d / 2.0);
            burningLine(x0 + l - b, d / 2.0);
        }
    }
    pic.textPosition = QPointF(-W / 2.0, -H / 2.0);
    pic.text = QStringLiteral("Current combustion area: ") + displayNumber(area);
    return pic;
}

} // namespace grain
