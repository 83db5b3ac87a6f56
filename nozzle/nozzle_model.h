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
};

// Values a check derived for the form, already formatted; written into their fields
// even when a later check refuses the nozzle.
struct DerivedFields {
    std::optional<QString> convergentAngle, convergentLength;
    std::optional<QString> divergentAngle, divergentLength;
};

struct ContourCheck {
    QString refusal; // the message of the first check that failed; empty when accepted
    DerivedFields derived;
    uint32_t pointCount = 0; // the station count read, also after a refusal
    std::vector<double> parameters; // accepted: the contour routine's parameters
    std::vector<bool> options; // accepted: its options (1 Bezier, 4 conical)
    bool accepted() const { return refusal.isEmpty(); }
};

// The checks alone, without touching any state. `digits`: significant digits of the
// derived values (NUM_DIS_PREC).
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

    // Check the form; an accepted one rebuilds the current nozzle (stations in
    // `unitIndex`, which it records with them) and leaves a contour pending. A refused
    // one leaves the current nozzle as it was and nothing pending.
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
