#pragma once
// The nozzle tab's model: the geometry checks of the conical and Bezier forms, in
// their order and with their messages, the values derived for the form (the length of
// a side given by its angle, the angle of a side given by its length), and the state
// of the last accepted nozzle. An accepted form replaces the current nozzle.
#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

// The conical panel's field texts and check states, as the user left them.
struct ConicalForm {
    QString points; // line_points
    QString entrance, throat, exit; // diameters
    QString convergentAngle, convergentLength; // degrees / length
    QString divergentAngle, divergentLength;
    QString fillet, throatFillet; // entrance/exit fillet radius, throat fillet radius
    bool convergentAsLength = false; // radio_conv_length_conical checked
    bool divergentAsLength = false; // radio_div_length_conical checked
    bool filletOn = false; // check_fillet_conical
    bool throatFilletOn = false; // check_tfillet_conical
    int unitIndex = 0; // comb_units: the unit of every length (0 mm, 1 cm, 2 dm, 3 m)
};

// The Bezier panel's field texts.
struct BezierForm {
    QString points;
    QString entrance, throat, exit;
    QString convergentAngle, convergentLength;
    QString divergentLength;
    QString entranceFillet, convergentFillet, divergentFillet; // line_fent, line_fgconv, line_fgdiv
    QString initialAngle, finalAngle; // parabola angles, degrees
    bool convergentAsLength = false; // radio_conv_length_bezier checked
    int unitIndex = 0; // comb_units, as for the conical panel
};

// Values a check derived for the form, already formatted; written into their fields
// even when a later check refuses the nozzle.
struct DerivedFields {
    std::optional<QString> convergentAngle, convergentLength;
    std::optional<QString> divergentAngle, divergentLength;
};

struct ContourCheck {
    QString refusal; // the message of the first check that failed; empty when accepted
    // For a number beyond what a run can compute (nozzle_limits.h): the limit, in the
    // form's unit, for the box's informative text; empty otherwise.
    QString rule;
    DerivedFields derived;
    uint32_t pointCount = 0; // the station count read, also after a refusal
    std::vector<double> parameters; // accepted: the contour routine's parameters
    std::vector<bool> options; // accepted: its options (1 Bezier, 4 conical)
    bool accepted() const { return refusal.isEmpty(); }
};

// The checks alone, without touching any state. `digits`: significant digits of the
// derived values (NUM_DIS_PREC). Besides the form's own checks, every diameter, side
// length (typed or derived) and fillet radius must fit the nozzle limits
// (nozzle_limits.h) in the form's unit; one that does not is refused with its field's
// message and the limit as `rule`, and a derived length beyond them is not shown.
ContourCheck checkConical(const ConicalForm& form, int digits);
ContourCheck checkBezier(const BezierForm& form, int digits);

// Reading the form's numbers (core/number_text.h); text that is not a number reads as
// NaN, which every check refuses.
double readFormNumber(const QString& text);
// An unsigned 32-bit decimal count; text that is not one reads as 0.
uint32_t readFormCount(const QString& text);

class NozzleModel {
public:
    // The last accepted nozzle (emptied when a computation starts): parameters as typed,
    // in the form's length unit and degrees, and options, both in the contour routines'
    // layout.
    std::vector<double> nozzleParameters;
    std::vector<bool> nozzleOptions;
    uint32_t pointCount = 0; // station count read at the last computation
    bool contourPending = false; // computed and not yet drawn

    // Check the form in `unitIndex` (the form's own unitIndex is not read); an accepted
    // one rebuilds the current nozzle (stations in that unit, which it records with them)
    // and leaves a contour pending, unless its stations are ones no run can use
    // (usableStations), which refuses it. A refused one leaves the current nozzle as it
    // was and nothing pending.
    ContourCheck computeConical(const ConicalForm& form, int unitIndex);
    ContourCheck computeBezier(const BezierForm& form, int unitIndex);

private:
    ContourCheck finish(ContourCheck check, bool conical, int unitIndex);
};

// The texts of a stored nozzle's parameters, set as the form would show them after a
// load (full precision, so that the numbers read back exactly). Used to put a stored
// nozzle through the tab's own checks before it reaches a run.
ConicalForm conicalFormFor(uint32_t points, const std::vector<double>& parameters, const std::vector<bool>& options);
BezierForm bezierFormFor(uint32_t points, const std::vector<double>& parameters, bool convergentAsLength);
