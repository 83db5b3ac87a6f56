#pragma once
// The grain tab's state and computations, without widgets: the checks of the geometry
// fields in their order with their messages, the burn-back and its summary figures, the
// length sweep for near-neutral combustion and the layout of the grain picture. The tab
// reads its fields into the input structs, calls the model and writes back what it gets.
#include <cstdint>
#include <vector>

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QString>

#include "grain/burnback.h"
#include "grain/grain_entry.h"

namespace grain {

// More samples than this would only exhaust memory (and the slider counts in int).
constexpr uint32_t kMaxSamples = 1000000;
// Area evaluations one length sweep may cost (candidates x samples); beyond this the
// step is refused rather than freezing the window.
constexpr double kMaxSweepEvaluations = 2.0e7;

// Field texts, as typed.
struct CylindricalInputs {
    QString exteriorDiameter, interiorDiameter, length, charges;
};
struct FrontalInputs {
    QString diameter, length;
};
struct StarInputs {
    QString exteriorDiameter, innerDiameter, pointDiameter, starPoints, length, charges;
};

// The six output fields, as shown.
struct GrainFigures {
    QString maximumArea, minimumArea, averageArea, deviation, fill, volume;
};

enum class CalculationStatus {
    Empty, // a field is empty: nothing to say, nothing changes
    Invalid, // a check failed: `message` tells which
    Done,
};

struct GrainCalculation {
    CalculationStatus status = CalculationStatus::Empty;
    QString message;
    QString rule; // the limit the refused field broke, in the form's unit; empty for none
    GrainEntry entry; // Done: the grain judged and computed, as Grains.json stores it
    FloatCurve curve;
    GrainFigures figures;
};

// The grain a form's fields describe, in the stored layout: decimals as typed, counts as
// unsigned 32-bit integers. A decimal or count that is not one reads as NaN and a sample
// count that is not one as 0, which grainEntryFault (grain_limits.h) refuses with the
// field's message.
GrainEntry grainEntryFromFields(int geometry, int units, int combustion, const QString& samples,
                                const CylindricalInputs& cylindrical, const FrontalInputs& frontal,
                                const StarInputs& star);

class GrainModel {
public:
    // Each clears the parameter list first and fills it, with the sample count and the
    // combustion type, only when every check passed. `combustion` is the index of the
    // combustion list, `units` that of the unit list (0 mm ... 3 m). The fields are read
    // once into the grain they describe, judged by the rules of a stored grain
    // (grainEntryFault) and computed from that grain.
    GrainCalculation calculateCylindrical(const CylindricalInputs& in, const QString& samples, int combustion,
                                          int units = 0);
    GrainCalculation calculateFrontal(const FrontalInputs& in, const QString& samples, int units = 0);
    GrainCalculation calculateStar(const StarInputs& in, const QString& samples, int combustion, int units = 0);

    // No geometry chosen (or one the tab cannot show): nothing may be drawn or exported.
    void clearParameters() { parameters_.clear(); }

    // Cylindrical [Dext, Di, L, N], frontal [D, L], star [Dext, Din, Dpoint, L, N, nStar];
    // empty when the last calculation did not succeed.
    const std::vector<double>& parameters() const { return parameters_; }
    double sampleCount() const { return sampleCount_; }
    uint8_t combustionType() const { return combustionType_; }

private:
    std::vector<double> parameters_;
    double sampleCount_ = 0.0;
    uint8_t combustionType_ = 0;
};

// A number in the form's general format with NUM_DIS_PREC significant digits.
QString displayNumber(double value);

// ---- Length sweep -------------------------------------------------------------------

struct SweepInputs {
    QString exteriorDiameter, interiorDiameter, charges, samples, maximum, minimum, step;
    int combustion = 0;
    int units = 0; // the unit list's index (0 mm ... 3 m)
};

struct SweepOutcome {
    enum Status { Missing, Invalid, Done } status = Missing;
    QString message; // "Missing data for optimization" (a warning) or the failed check
    QString rule; // the limit a refused field broke, as for a calculation
    float length = 0.0f; // the winning length
    uint32_t candidates = 0;
    uint32_t winner = 0; // index of the winning candidate
    float deviation = 0.0f; // its (Amax - Amin) n / sum of areas
};

// Number of candidate lengths: the length range is cut to its whole part before it is
// divided by the step (10 to 20.5 by 0.5 gives 21 candidates). Negative or NaN when the
// range is reversed or the inputs are not numbers.
double sweepCandidateCount(double minimum, double maximum, double step);

// The checks (the diameters, web, charges and samples by the rules of a stored grain, as
// a calculation reads them), then the sweep over the lengths Lmin + k step for
// radial-and-base burning in single precision; the smallest deviation wins, the first
// (shortest) on a tie.
SweepOutcome sweepNeutralLength(const SweepInputs& in);

// ---- Grain picture ------------------------------------------------------------------

enum class PictureColour { Grain, Background, Burning };

struct PictureShape {
    enum Kind { Ellipse, Rectangle, Line } kind = Rectangle;
    QRectF rect; // ellipses and rectangles
    QLineF line; // lines
    PictureColour pen = PictureColour::Grain;
    PictureColour brush = PictureColour::Grain; // ignored for lines
};

struct GrainPicture {
    double width = 0.0, height = 0.0, scale = 0.0; // scene units; scale per length unit
    QRectF sceneRect;
    std::vector<PictureShape> shapes; // in drawing order
    QPointF textPosition;
    QString text; // "Current combustion area: " and the area
};

// Which views COMB_EV asks for: 0 both, 1 only the cross-section, 2 only the side view.
// `parameters` as the model holds them (their count tells the geometry), `burnt` the
// burnt distance and `area` the combustion area of the sample shown. Empty parameters
// give an empty picture.
GrainPicture grainPicture(const std::vector<double>& parameters, uint8_t combustion, uint8_t views, double burnt,
                          double area);

} // namespace grain
