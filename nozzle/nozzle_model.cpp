#include "nozzle/nozzle_model.h"

#include <array>
#include <cmath>
#include <limits>

#include "core/number_text.h"
#include "core/preferences.h"
#include "nozzle/contour.h"
#include "nozzle/current_nozzle.h"
#include "nozzle/nozzle_limits.h"

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

QString formatted(double value, int digits)
{
    return QString::number(value, 'g', digits);
}

// A check's refusal: the field's message and, for a number beyond the nozzle limits, the
// limit broken. Empty message: passed.
struct Refusal {
    QString message;
    QString rule;
    Refusal() = default;
    Refusal(const char* m, QString r = QString()) : message(QString::fromUtf8(m)), rule(std::move(r)) { }
    bool failed() const { return !message.isEmpty(); }
};

// The messages of one side's checks (convergent or divergent).
struct SideMessages {
    const char* invalid;
    const char* incoherentAngle; // angle mode: the two arcs do not fit the radial difference
    const char* incoherentLength; // length mode: no angle fits the length
    const char* throatAngle; // angle mode: the throat fillet alone does not fit (nullptr: no check)
    const char* throatLength;
};

const SideMessages conicalConvergent{
        "Invalid convergent angle/length",
        "Incoherent values: convergent angle or fillet radius need to be reduced",
        "Incoherent values: convergent length is to small for the given fillet radii",
        "Throat fillet radius and/or convergent angle are too large",
        "Throat fillet radius too large and/or convergent length too small",
};
const SideMessages conicalDivergent{
        "Invalid divergent angle/length",
        "Incoherent values: divergent angle or fillet radius need to be reduced",
        "Incoherent values: divergent length is to small for the given fillet radii",
        "Throat fillet radius and/or divergent angle are too large",
        "Throat fillet radius too large and/or divergent length too small",
};
const SideMessages bezierConvergent{
        "Invalid convergent angle/length",
        "Incoherent values: convergent angle or fillet radius need to be reduced",
        "Incoherent values: convergent length is to small for the given fillet radii",
        nullptr,
        nullptr,
};

// One side of the nozzle given by an angle (degrees) or by a length: checks it, writes
// the derived value (length or angle) and the half-angle in radians. `rise` is the
// radial difference between the throat and the side's far end, `l` the sum of the side's
// fillet radii and `throatFillet` the fillet radius at the throat. Empty when it passes.
Refusal checkSide(double value, bool asLength, double rise, double l, double throatFillet, const SideMessages& msg,
                  const nozzle::FormLengths& lengths, int digits, std::optional<QString>& derivedAngle,
                  std::optional<QString>& derivedLength, double& theta)
{
    if (!asLength) {
        theta = value * nozzle::pi / 180;
        if (!(theta > 0.0 && theta < nozzle::halfPi))
            return msg.invalid;
        if ((1 - std::cos(theta)) * l > rise)
            return msg.incoherentAngle;
        // A nearly flat side reaches beyond what a run can compute (1e-320 degrees: an
        // infinite length); it is refused before its length is shown.
        const double length = sideLength(rise, theta, l);
        if (!lengths.sideFits(length))
            return {msg.invalid, lengths.sideRule()};
        derivedLength = formatted(length, digits);
        if (msg.throatAngle && (1 - std::cos(theta)) * throatFillet > rise)
            return msg.throatAngle;
        return {};
    }
    const double L = value;
    if (!(L > 0.0))
        return msg.invalid;
    if (!lengths.sideFits(L))
        return {msg.invalid, lengths.sideRule()};
    const double v = rise - l;
    // No angle fits: the arcs need more than the length and radial difference offer.
    if (l * l >= v * v + L * L || v * l >= L * std::sqrt(v * v + L * L - l * l))
        return msg.incoherentLength;
    theta = sideAngle(rise, L, l);
    derivedAngle = formatted(theta * 180 / nozzle::pi, digits);
    if (msg.throatLength && (1 - std::cos(theta)) * throatFillet > rise)
        return msg.throatLength;
    return {};
}

// Entrance, throat and exit diameters, in the tab's order of messages.
Refusal checkDiameters(double De, double Dt, double Dx, const nozzle::FormLengths& lengths)
{
    const struct {
        double value;
        const char* message;
    } diameters[] = {{De, "Invalid entrance diameter"}, {Dt, "Invalid throat diameter"}, {Dx, "Invalid exit diameter"}};
    for (const auto& d : diameters) {
        if (!(d.value > 0.0))
            return d.message;
        if (!lengths.diameterFits(d.value))
            return {d.message, lengths.diameterRule()};
    }
    if (De <= Dt)
        return "Entrance diameter must be greater than throat";
    if (Dx <= Dt)
        return "Exit diameter must be greater than throat";
    return {};
}

// A fillet radius: not negative, and 0 or within the limits.
Refusal checkFillet(double radius, const char* message, const nozzle::FormLengths& lengths)
{
    if (!(radius >= 0.0))
        return message;
    if (!lengths.filletFits(radius))
        return {message, lengths.filletRule()};
    return {};
}

bool validCount(uint32_t n)
{
    return n >= nozzle::minStations && n <= nozzle::maxStations;
}

const char* const blankMessage = "Blank parameters in nozzle definition";
const char* const pointsMessage = "Invalid number of points for nozzle representation";

QString exact(double value)
{
    return QString::number(value, 'g', 17);
}

} // namespace

double readFormNumber(const QString& text)
{
    return readNumber(text).value_or(notANumber);
}

uint32_t readFormCount(const QString& text)
{
    return readUnsignedNumber(text).value_or(0u);
}

ContourCheck checkConical(const ConicalForm& f, int digits)
{
    ContourCheck c;
    auto refuse = [&c](const Refusal& r) {
        c.refusal = r.message;
        c.rule = r.rule;
        return c;
    };
    const nozzle::FormLengths lengths(f.unitIndex);
    const QString& convText = f.convergentAsLength ? f.convergentLength : f.convergentAngle;
    const QString& divText = f.divergentAsLength ? f.divergentLength : f.divergentAngle;
    // The throat fillet field is not part of the blank check: an empty one is refused
    // below as an invalid radius.
    if (convText.isEmpty() || divText.isEmpty() || f.entrance.isEmpty() || f.throat.isEmpty() || f.exit.isEmpty()
        || (f.filletOn && f.fillet.isEmpty()))
        return refuse(blankMessage);
    c.pointCount = readFormCount(f.points);
    if (!validCount(c.pointCount))
        return refuse(pointsMessage);
    const double De = readFormNumber(f.entrance), Dt = readFormNumber(f.throat), Dx = readFormNumber(f.exit);
    if (const Refusal r = checkDiameters(De, Dt, Dx, lengths); r.failed())
        return refuse(r);
    double Rf = 0.0, Rtf = 0.0;
    if (f.filletOn) {
        Rf = readFormNumber(f.fillet);
        if (const Refusal r = checkFillet(Rf, "Invalid entrance/exit fillet radius", lengths); r.failed())
            return refuse(r);
    }
    if (f.throatFilletOn) {
        Rtf = readFormNumber(f.throatFillet);
        if (const Refusal r = checkFillet(Rtf, "Invalid throat fillet radius", lengths); r.failed())
            return refuse(r);
    }
    const double l = Rf + Rtf;
    const double conv = readFormNumber(convText);
    double thetaC = 0.0;
    if (const Refusal r = checkSide(conv, f.convergentAsLength, (De - Dt) / 2, l, Rtf, conicalConvergent, lengths,
                                    digits, c.derived.convergentAngle, c.derived.convergentLength, thetaC);
        r.failed())
        return refuse(r);
    const double div = readFormNumber(divText);
    double thetaD = 0.0;
    if (const Refusal r = checkSide(div, f.divergentAsLength, (Dx - Dt) / 2, l, Rtf, conicalDivergent, lengths, digits,
                                    c.derived.divergentAngle, c.derived.divergentLength, thetaD);
        r.failed())
        return refuse(r);
    c.parameters = {De, Dt, Dx, conv, div, Rf, Rtf};
    c.options = {f.convergentAsLength, f.divergentAsLength, f.filletOn, f.throatFilletOn};
    return c;
}

ContourCheck checkBezier(const BezierForm& f, int digits)
{
    ContourCheck c;
    auto refuse = [&c](const Refusal& r) {
        c.refusal = r.message;
        c.rule = r.rule;
        return c;
    };
    const nozzle::FormLengths lengths(f.unitIndex);
    const QString& convText = f.convergentAsLength ? f.convergentLength : f.convergentAngle;
    for (const QString* text : {&convText, &f.entrance, &f.throat, &f.exit, &f.divergentLength, &f.entranceFillet,
                                &f.convergentFillet, &f.divergentFillet, &f.initialAngle, &f.finalAngle}) {
        if (text->isEmpty())
            return refuse(blankMessage);
    }
    const double De = readFormNumber(f.entrance), Dt = readFormNumber(f.throat), Dx = readFormNumber(f.exit);
    if (const Refusal r = checkDiameters(De, Dt, Dx, lengths); r.failed())
        return refuse(r);
    const double Rt = Dt / 2, Rx = Dx / 2;
    const double Rfe = readFormNumber(f.entranceFillet);
    if (const Refusal r = checkFillet(Rfe, "Invalid fillet radius for entrance", lengths); r.failed())
        return refuse(r);
    const double Rfc = readFormNumber(f.convergentFillet);
    if (const Refusal r = checkFillet(Rfc, "Invalid fillet radius for convergent throat", lengths); r.failed())
        return refuse(r);
    const double Rfd = readFormNumber(f.divergentFillet);
    if (const Refusal r = checkFillet(Rfd, "Invalid fillet radius for divergent throat", lengths); r.failed())
        return refuse(r);
    const double initialAngle = readFormNumber(f.initialAngle);
    const double thetaI = initialAngle * nozzle::pi / 180;
    if (!(thetaI >= 0.0 && thetaI < nozzle::halfPi))
        return refuse("Invalid initial parabola angle");
    const double finalAngle = readFormNumber(f.finalAngle);
    const double thetaF = finalAngle * nozzle::pi / 180;
    if (!(thetaF >= 0.0 && thetaF < nozzle::halfPi))
        return refuse("Invalid final parabola angle");
    if (thetaI <= thetaF)
        return refuse("Final parabola angle must be smaller than initial");
    c.pointCount = readFormCount(f.points);
    if (!validCount(c.pointCount))
        return refuse(pointsMessage);
    const double Ld = readFormNumber(f.divergentLength);
    if (!(Ld > 0.0))
        return refuse("Invalid divergent length");
    if (!lengths.sideFits(Ld))
        return refuse({"Invalid divergent length", lengths.sideRule()});

    const double H = (De - Dt) / 2, Hd = (Dx - Dt) / 2;
    const double conv = readFormNumber(convText);
    double thetaC = 0.0;
    if (const Refusal r = checkSide(conv, f.convergentAsLength, H, Rfe + Rfc, 0.0, bezierConvergent, lengths, digits,
                                    c.derived.convergentAngle, c.derived.convergentLength, thetaC);
        r.failed())
        return refuse(r);

    // The parabola from the end of the divergent throat fillet P0 to the exit, with the
    // control point where the tangents at both ends meet: it must lie between them.
    const double xa = Rfd * std::sin(thetaI);
    const double Ra = Rt + Rfd * (1 - std::cos(thetaI));
    if (xa >= Ld)
        return refuse("Incoherent values: insufficient divergent length");
    const double ti = std::tan(thetaI), tf = std::tan(thetaF);
    const double Cx = (Rx - Ra + xa * ti - Ld * tf) / (ti - tf);
    const double CR = ((Rx - Ld * tf) * ti - (Ra - xa * ti) * tf) / (ti - tf);
    // The control point must lie ahead of P0 (not merely ahead of the throat): one
    // behind it makes the wall run backwards out of the fillet before it turns.
    if (Cx <= xa || Ra >= CR)
        return refuse("Incoherent values: Parabola final angle too big");
    if (Cx >= Ld || CR >= Rx)
        return refuse("Incoherent values: Parabola initial angle too small");
    if ((1 - std::cos(thetaI)) * Rfd > Hd)
        return refuse("Incoherent values: Parabola initial angle and/or divergent fillent radius too large");
    if ((1 - std::cos(thetaC)) * Rfc > H)
        return refuse(
                f.convergentAsLength
                        ? "Incoherent values: Convergent length too small and/or convergent fillet radius too large"
                        : "Incoherent values: Convergent angle and/or convergent fillent radius too large");
    c.parameters = {De, Dt, Dx, conv, Ld, Rfe, Rfc, Rfd, initialAngle, finalAngle};
    c.options = {f.convergentAsLength};
    return c;
}

ContourCheck NozzleModel::computeConical(const ConicalForm& form, int unitIndex)
{
    ConicalForm judged = form;
    judged.unitIndex = unitIndex;
    return finish(checkConical(judged, NUM_DIS_PREC), true, unitIndex);
}

ContourCheck NozzleModel::computeBezier(const BezierForm& form, int unitIndex)
{
    BezierForm judged = form;
    judged.unitIndex = unitIndex;
    return finish(checkBezier(judged, NUM_DIS_PREC), false, unitIndex);
}

ContourCheck NozzleModel::finish(ContourCheck check, bool conical, int unitIndex)
{
    nozzleParameters.clear();
    nozzleOptions.clear();
    pointCount = check.pointCount;
    contourPending = false;
    if (!check.accepted())
        return check;
    CurrentNozzle built;
    if (conical) {
        ConicalParameters p{};
        std::copy(check.parameters.begin(), check.parameters.end(), p.begin());
        const ConicalOptions o{check.options[0], check.options[1], check.options[2], check.options[3]};
        built.R = conicalContour(built.x, built.A, built.throatDiameter, built.throatCurvatureRadius, pointCount, p, o);
    } else {
        BezierParameters p{};
        std::copy(check.parameters.begin(), check.parameters.end(), p.begin());
        built.R = bezierContour(built.x, built.A, built.throatDiameter, built.throatCurvatureRadius, pointCount, p,
                                check.options[0]);
    }
    // The last guard of the rule a run applies: stations it cannot use are never drawn,
    // saved or handed on as "Current".
    if (!nozzle::usableStations(built.x, built.A, built.throatDiameter, built.throatCurvatureRadius, unitIndex)) {
        check.refusal = "Incoherent values: the contour's stations cannot be computed";
        check.rule = nozzle::stationsRule();
        check.parameters.clear();
        check.options.clear();
        return check;
    }
    nozzleParameters = check.parameters;
    nozzleOptions = check.options;
    built.unitIndex = unitIndex;
    currentNozzle = std::move(built);
    contourPending = true;
    return check;
}

ConicalForm conicalFormFor(uint32_t points, const std::vector<double>& p, const std::vector<bool>& o)
{
    ConicalForm f;
    f.points = QString::number(points);
    if (p.size() < 7 || o.size() < 4)
        return f; // blank: refused
    f.entrance = exact(p[0]);
    f.throat = exact(p[1]);
    f.exit = exact(p[2]);
    f.convergentAsLength = o[0];
    (o[0] ? f.convergentLength : f.convergentAngle) = exact(p[3]);
    f.divergentAsLength = o[1];
    (o[1] ? f.divergentLength : f.divergentAngle) = exact(p[4]);
    f.filletOn = o[2];
    f.fillet = exact(p[5]);
    f.throatFilletOn = o[3];
    f.throatFillet = exact(p[6]);
    return f;
}

BezierForm bezierFormFor(uint32_t points, const std::vector<double>& p, bool convergentAsLength)
{
    BezierForm f;
    f.points = QString::number(points);
    if (p.size() < 10)
        return f;
    f.entrance = exact(p[0]);
    f.throat = exact(p[1]);
    f.exit = exact(p[2]);
    f.convergentAsLength = convergentAsLength;
    (convergentAsLength ? f.convergentLength : f.convergentAngle) = exact(p[3]);
    f.divergentLength = exact(p[4]);
    f.entranceFillet = exact(p[5]);
    f.convergentFillet = exact(p[6]);
    f.divergentFillet = exact(p[7]);
    f.initialAngle = exact(p[8]);
    f.finalAngle = exact(p[9]);
    return f;
}
