// The nozzle tab's geometry checks: the first failing check and its message, the values
// derived for the form, and what an accepted or refused computation leaves behind.
#include <cmath>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "../bezier_defaults.h"
#include "core/preferences.h"
#include "nozzle/current_nozzle.h"
#include "nozzle/nozzle_model.h"
#include "support/qstring_printer.h"

namespace {

// The conical panel as the form starts: De 50, Dt 25, Dx 80, 45 deg, 15 deg, 100 points.
ConicalForm conicalDefaults()
{
    ConicalForm f;
    f.points = "100";
    f.entrance = "50";
    f.throat = "25";
    f.exit = "80";
    f.convergentAngle = "45";
    f.divergentAngle = "15";
    return f;
}

template <class Form>
struct Case {
    std::string label;
    std::function<void(Form&)> edit;
    QString message; // empty: accepted
};

const QString blank = "Blank parameters in nozzle definition";
const QString points = "Invalid number of points for nozzle representation";

} // namespace

TEST(ConicalChecks, FirstFailingCheckGivesItsMessage)
{
    using F = ConicalForm;
    const std::vector<Case<F>> cases = {
            {"defaults", [](F&) {}, ""},
            {"blank convergent angle", [](F& f) { f.convergentAngle.clear(); }, blank},
            {"blank length of the chosen mode",
             [](F& f) {
                 f.convergentAsLength = true;
                 f.convergentLength.clear();
             },
             blank},
            {"blank exit", [](F& f) { f.exit.clear(); }, blank},
            {"checked fillet left blank",
             [](F& f) {
                 f.filletOn = true;
                 f.fillet.clear();
             },
             blank},
            {"checked throat fillet left blank is not a blank",
             [](F& f) {
                 f.throatFilletOn = true;
                 f.throatFillet.clear();
             },
             "Invalid throat fillet radius"},
            {"unchecked fillets ignore their text",
             [](F& f) {
                 f.fillet = "abc";
                 f.throatFillet = "-3";
             },
             ""},
            {"blank before points", [](F& f) { f.entrance.clear(), f.points = "7"; }, blank},
            {"49 points", [](F& f) { f.points = "49"; }, points},
            {"negative points", [](F& f) { f.points = "-5"; }, points},
            {"points not a number", [](F& f) { f.points = "many"; }, points},
            {"points beyond 32 bits", [](F& f) { f.points = "4294967296"; }, points},
            {"absurd point count", [](F& f) { f.points = "100001"; }, points},
            {"50 points", [](F& f) { f.points = "50"; }, ""},
            {"entrance not a number", [](F& f) { f.entrance = "x"; }, "Invalid entrance diameter"},
            {"throat zero", [](F& f) { f.throat = "0"; }, "Invalid throat diameter"},
            {"exit negative", [](F& f) { f.exit = "-80"; }, "Invalid exit diameter"},
            {"entrance equal to throat", [](F& f) { f.entrance = "25"; },
             "Entrance diameter must be greater than throat"},
            {"exit below throat", [](F& f) { f.exit = "20"; }, "Exit diameter must be greater than throat"},
            {"negative fillet",
             [](F& f) {
                 f.filletOn = true;
                 f.fillet = "-1";
             },
             "Invalid entrance/exit fillet radius"},
            {"convergent angle 0", [](F& f) { f.convergentAngle = "0"; }, "Invalid convergent angle/length"},
            {"convergent angle 90", [](F& f) { f.convergentAngle = "90"; }, "Invalid convergent angle/length"},
            // (1 - cos 45 deg) * 50 = 14.6 exceeds the radial drop of 12.5.
            {"fillets too large for the convergent angle",
             [](F& f) {
                 f.filletOn = true;
                 f.fillet = "50";
             },
             "Incoherent values: convergent angle or fillet radius need to be reduced"},
            {"convergent length 0",
             [](F& f) {
                 f.convergentAsLength = true;
                 f.convergentLength = "0";
             },
             "Invalid convergent angle/length"},
            // l = 8 exceeds sqrt(v^2 + L^2) = sqrt(4.5^2 + 1): no angle fits.
            {"convergent length too small for the fillets",
             [](F& f) {
                 f.convergentAsLength = true;
                 f.convergentLength = "1";
                 f.filletOn = f.throatFilletOn = true;
                 f.fillet = "5";
                 f.throatFillet = "3";
             },
             "Incoherent values: convergent length is to small for the given fillet radii"},
            {"divergent angle negative", [](F& f) { f.divergentAngle = "-15"; }, "Invalid divergent angle/length"},
            // Rise 2.5 at the exit, (1 - cos 45 deg) * 30 = 8.8.
            {"fillet too large for the divergent angle",
             [](F& f) {
                 f.exit = "30";
                 f.divergentAngle = "45";
                 f.convergentAngle = "10";
                 f.filletOn = true;
                 f.fillet = "30";
             },
             "Incoherent values: divergent angle or fillet radius need to be reduced"},
            {"divergent length not a number",
             [](F& f) {
                 f.divergentAsLength = true;
                 f.divergentLength = "-";
             },
             "Invalid divergent angle/length"},
            {"divergent length too small for the fillets",
             [](F& f) {
                 f.exit = "30";
                 f.divergentAsLength = true;
                 f.divergentLength = "1";
                 f.filletOn = true;
                 f.fillet = "5";
             },
             "Incoherent values: divergent length is to small for the given fillet radii"},
            {"both sides as lengths with fillets",
             [](F& f) {
                 f.convergentAsLength = f.divergentAsLength = true;
                 f.convergentLength = "30";
                 f.divergentLength = "90";
                 f.filletOn = f.throatFilletOn = true;
                 f.fillet = "4";
                 f.throatFillet = "6";
             },
             ""},
    };
    for (const auto& c : cases) {
        ConicalForm f = conicalDefaults();
        c.edit(f);
        EXPECT_EQ(checkConical(f, 10).refusal, c.message) << c.label;
    }
}

TEST(ConicalChecks, DerivedFieldsAndAcceptedLayout)
{
    // Angle mode fills the lengths: 12.5/tan 45 deg and 27.5/tan 15 deg (with pi =
    // 3.141592 in the degree conversion, hence the 4e-6 off 12.5).
    ContourCheck c = checkConical(conicalDefaults(), 10);
    ASSERT_TRUE(c.accepted());
    EXPECT_EQ(c.derived.convergentLength, QString("12.50000408"));
    EXPECT_EQ(c.derived.divergentLength, QString("102.6314196"));
    EXPECT_FALSE(c.derived.convergentAngle.has_value());
    EXPECT_EQ(c.pointCount, 100u);
    EXPECT_EQ(c.parameters, (std::vector<double>{50, 25, 80, 45, 15, 0, 0}));
    EXPECT_EQ(c.options, (std::vector<bool>{false, false, false, false}));

    // Length mode fills the angle: a 12.5 long convergent without fillets dropping 12.5
    // is at pi/4, shown as (pi/4) * 180 / 3.141592 = 45.00000936.
    ConicalForm f = conicalDefaults();
    f.convergentAsLength = true;
    f.convergentLength = "12.5";
    f.filletOn = false;
    f.fillet = "7"; // unchecked: stored as 0
    f.throatFilletOn = true;
    f.throatFillet = "2";
    c = checkConical(f, 10);
    ASSERT_TRUE(c.accepted());
    EXPECT_EQ(c.parameters, (std::vector<double>{50, 25, 80, 12.5, 15, 0, 2}));
    EXPECT_EQ(c.options, (std::vector<bool>{true, false, false, true}));
    ASSERT_TRUE(c.derived.convergentAngle.has_value());
    // With a throat fillet the angle is no longer 45 deg: the value must satisfy the
    // side's closing relation L sin(theta) - (H - l) cos(theta) = l.
    const double theta = c.derived.convergentAngle->toDouble() * 3.141592 / 180;
    EXPECT_NEAR(12.5 * std::sin(theta) - (12.5 - 2) * std::cos(theta), 2.0, 1e-8);

    // A derived value stays written when a later check refuses the nozzle.
    f = conicalDefaults();
    f.divergentAngle = "0";
    c = checkConical(f, 10);
    EXPECT_EQ(c.refusal, "Invalid divergent angle/length");
    EXPECT_EQ(c.derived.convergentLength, QString("12.50000408"));
    EXPECT_TRUE(c.parameters.empty());
}

TEST(BezierChecks, FirstFailingCheckGivesItsMessage)
{
    using F = BezierForm;
    const std::vector<Case<F>> cases = {
            {"defaults", [](F&) {}, ""},
            {"blank divergent fillet", [](F& f) { f.divergentFillet.clear(); }, blank},
            {"blank final angle", [](F& f) { f.finalAngle.clear(); }, blank},
            {"blank convergent length in length mode", [](F& f) { f.convergentAsLength = true; }, blank},
            {"entrance zero", [](F& f) { f.entrance = "0"; }, "Invalid entrance diameter"},
            {"exit equal to throat", [](F& f) { f.exit = "25"; }, "Exit diameter must be greater than throat"},
            {"entrance fillet negative", [](F& f) { f.entranceFillet = "-2"; }, "Invalid fillet radius for entrance"},
            {"convergent fillet text", [](F& f) { f.convergentFillet = "r"; },
             "Invalid fillet radius for convergent throat"},
            {"divergent fillet negative", [](F& f) { f.divergentFillet = "-1"; },
             "Invalid fillet radius for divergent throat"},
            {"initial angle negative", [](F& f) { f.initialAngle = "-1"; }, "Invalid initial parabola angle"},
            {"initial angle 90", [](F& f) { f.initialAngle = "90"; }, "Invalid initial parabola angle"},
            {"initial angle 0 passes its own check",
             [](F& f) {
                 f.initialAngle = "0";
                 f.finalAngle = "0";
             },
             "Final parabola angle must be smaller than initial"},
            {"final angle negative", [](F& f) { f.finalAngle = "-5"; }, "Invalid final parabola angle"},
            {"equal angles", [](F& f) { f.finalAngle = "60"; }, "Final parabola angle must be smaller than initial"},
            {"angles before points",
             [](F& f) {
                 f.initialAngle = "-1";
                 f.points = "49";
             },
             "Invalid initial parabola angle"},
            {"49 points", [](F& f) { f.points = "49"; }, points},
            {"divergent length zero", [](F& f) { f.divergentLength = "0"; }, "Invalid divergent length"},
            {"convergent angle 90", [](F& f) { f.convergentAngle = "90"; }, "Invalid convergent angle/length"},
            // (1 - cos 80 deg) * 39.5 = 32.6 exceeds the drop of 12.5.
            {"convergent angle too steep for the fillets", [](F& f) { f.convergentAngle = "80"; },
             "Incoherent values: convergent angle or fillet radius need to be reduced"},
            {"convergent length too small",
             [](F& f) {
                 f.convergentAsLength = true;
                 f.convergentLength = "5";
             },
             "Incoherent values: convergent length is to small for the given fillet radii"},
            // The divergent fillet alone reaches 9.55 sin 60 deg = 8.27 downstream.
            {"divergent shorter than its fillet", [](F& f) { f.divergentLength = "8"; },
             "Incoherent values: insufficient divergent length"},
            // Final tangent at 30 deg meets the initial one behind the throat.
            {"final angle too big", [](F& f) { f.finalAngle = "30"; },
             "Incoherent values: Parabola final angle too big"},
            // At 10 deg the initial tangent meets the final one beyond the exit.
            {"initial angle too small", [](F& f) { f.initialAngle = "10"; },
             "Incoherent values: Parabola initial angle too small"},
            // Dx 60, Ld 60, 60 deg / 15 deg: the tangents meet at x = 7.49, ahead of the throat
            // but behind the end of the divergent fillet (x = 8.27): the wall would run
            // backwards there. Refused as a final angle too big.
            {"control point behind the divergent fillet",
             [](F& f) {
                 f.exit = "60";
                 f.divergentLength = "60";
                 f.finalAngle = "15";
             },
             "Incoherent values: Parabola final angle too big"},
            {"length mode",
             [](F& f) {
                 f.convergentAsLength = true;
                 f.convergentLength = "40";
             },
             ""},
    };
    for (const auto& c : cases) {
        BezierForm f = bezierDefaults();
        c.edit(f);
        EXPECT_EQ(checkBezier(f, 10).refusal, c.message) << c.label;
    }
}

TEST(BezierChecks, DerivedFieldsAndAcceptedLayout)
{
    // Convergent of the defaults: two arcs of 2 and 37.5 turning 45 deg and a line over
    // the rest of the 12.5 drop: (12.5 - (1 - cos 45)(39.5))/tan 45 + 39.5 sin 45.
    const ContourCheck c = checkBezier(bezierDefaults(), 10);
    ASSERT_TRUE(c.accepted());
    EXPECT_EQ(c.derived.convergentLength, QString("28.86143602"));
    EXPECT_EQ(c.parameters, (std::vector<double>{50, 25, 100, 45, 125, 2, 37.5, 9.55, 60, 5}));
    EXPECT_EQ(c.options, (std::vector<bool>{false}));
    // NUM_DIS_PREC decides the digits shown.
    EXPECT_EQ(checkBezier(bezierDefaults(), 4).derived.convergentLength, QString("28.86"));
}

TEST(NozzleModel, AcceptedContourReplacesTheCurrentNozzleRefusedLeavesIt)
{
    currentNozzle = CurrentNozzle{};
    NozzleModel model;
    EXPECT_FALSE(model.contourPending);
    EXPECT_EQ(model.pointCount, 0u);

    ContourCheck c = model.computeConical(conicalDefaults(), 1);
    ASSERT_TRUE(c.accepted());
    EXPECT_TRUE(model.contourPending);
    EXPECT_EQ(model.nozzleParameters.size(), 7u);
    ASSERT_EQ(currentNozzle.x.size(), 100u);
    EXPECT_EQ(currentNozzle.R.size(), 100u);
    EXPECT_EQ(currentNozzle.A.size(), 100u);
    EXPECT_EQ(currentNozzle.unitIndex, 1); // recorded with the stations, not at drawing
    EXPECT_EQ(currentNozzle.throatDiameter, 25);
    EXPECT_EQ(currentNozzle.throatCurvatureRadius, 1.0);
    const std::vector<double> accepted = currentNozzle.x;

    ConicalForm bad = conicalDefaults();
    bad.points = "60";
    bad.exit = "10";
    c = model.computeConical(bad, 3);
    EXPECT_FALSE(c.accepted());
    EXPECT_FALSE(model.contourPending);
    EXPECT_TRUE(model.nozzleParameters.empty());
    EXPECT_TRUE(model.nozzleOptions.empty());
    EXPECT_EQ(model.pointCount, 60u); // the count read in the refused computation
    EXPECT_EQ(currentNozzle.x, accepted);
    EXPECT_EQ(currentNozzle.unitIndex, 1);

    c = model.computeBezier(bezierDefaults(), 2);
    ASSERT_TRUE(c.accepted());
    EXPECT_EQ(currentNozzle.unitIndex, 2);
    EXPECT_DOUBLE_EQ(currentNozzle.throatCurvatureRadius, (37.5 + 9.55) / 2);
    EXPECT_EQ(model.nozzleOptions, (std::vector<bool>{false}));
    currentNozzle = CurrentNozzle{};
}

TEST(NozzleModel, StoredParametersReadBackExactly)
{
    // A stored nozzle is put through the tab's checks from texts of its numbers: they
    // must give back the very same numbers.
    const std::vector<double> p{50.1, 25.000000000000004, 100.3, 0.1 + 0.2, 125, 2, 37.5, 9.55, 60, 5};
    const ContourCheck c = checkBezier(bezierFormFor(100, p, false), 17);
    ASSERT_TRUE(c.accepted()) << c.refusal.toStdString();
    EXPECT_EQ(c.parameters, p);
    const ContourCheck k
            = checkConical(conicalFormFor(80, {100, 20, 60, 45, 15, 5, 3}, {false, false, true, true}), 17);
    ASSERT_TRUE(k.accepted());
    EXPECT_EQ(k.options, (std::vector<bool>{false, false, true, true}));
}

// Numbers every earlier check lets through but that give stations no run can compute
// (infinite, zero or not rising): the form is refused with the field's own message and,
// as the informative text, the limit in the form's unit; nozzles at the limits pass.
// The same rule the run's loader applies to a stored nozzle (tests/nozzle/store).
TEST(NozzleLimits, NumbersBeyondThePhysicalRangeAreRefusedWithTheFieldsMessageAndTheLimit)
{
    const QString diametersMm = "Diameters must lie between 0.001 mm and 1000000 mm";
    const QString diametersM = "Diameters must lie between 1e-06 m and 1000 m";
    const QString sidesMm = "The convergent and divergent sides must be at most 1000000 mm long";
    const QString filletsMm = "Fillet radii must be 0 or lie between 0.001 mm and 1000000 mm";
    struct Limit {
        std::string label;
        std::function<void(ConicalForm&)> conical; // null: a Bezier case
        std::function<void(BezierForm&)> bezier;
        QString message, rule; // empty: accepted
    };
    auto cone = [](std::function<void(ConicalForm&)> e) { return e; };
    const std::vector<Limit> cases = {
            {"conical entrance 1e308",
             cone([](ConicalForm& f) { f.entrance = "1e308"; }),
             {},
             "Invalid entrance diameter",
             diametersMm},
            {"conical exit 1e308",
             cone([](ConicalForm& f) { f.exit = "1e308"; }),
             {},
             "Invalid exit diameter",
             diametersMm},
            {"conical throat 1e-300",
             cone([](ConicalForm& f) { f.throat = "1e-300"; }),
             {},
             "Invalid throat diameter",
             diametersMm},
            {"conical exit of 2 km in metres",
             cone([](ConicalForm& f) {
                 f.unitIndex = 3;
                 f.exit = "2000";
             }),
             {},
             "Invalid exit diameter",
             diametersM},
            {"conical convergent angle 1e-320",
             cone([](ConicalForm& f) { f.convergentAngle = "1e-320"; }),
             {},
             "Invalid convergent angle/length",
             sidesMm},
            {"conical divergent angle 1e-320",
             cone([](ConicalForm& f) { f.divergentAngle = "1e-320"; }),
             {},
             "Invalid divergent angle/length",
             sidesMm},
            {"conical divergent length 1.797e308",
             cone([](ConicalForm& f) {
                 f.divergentAsLength = true;
                 f.divergentLength = "1.797e308";
             }),
             {},
             "Invalid divergent angle/length",
             sidesMm},
            {"conical entrance fillet 1e-300",
             cone([](ConicalForm& f) {
                 f.filletOn = true;
                 f.fillet = "1e-300";
             }),
             {},
             "Invalid entrance/exit fillet radius",
             filletsMm},
            {"conical throat fillet 1e-300",
             cone([](ConicalForm& f) {
                 f.throatFilletOn = true;
                 f.throatFillet = "1e-300";
             }),
             {},
             "Invalid throat fillet radius",
             filletsMm},
            {"Bezier entrance 1e308",
             {},
             [](BezierForm& f) { f.entrance = "1e308"; },
             "Invalid entrance diameter",
             diametersMm},
            {"Bezier throat 1e-300",
             {},
             [](BezierForm& f) { f.throat = "1e-300"; },
             "Invalid throat diameter",
             diametersMm},
            {"Bezier convergent angle 1e-320",
             {},
             [](BezierForm& f) { f.convergentAngle = "1e-320"; },
             "Invalid convergent angle/length",
             sidesMm},
            {"Bezier entrance fillet 1e-300",
             {},
             [](BezierForm& f) { f.entranceFillet = "1e-300"; },
             "Invalid fillet radius for entrance",
             filletsMm},
            {"Bezier divergent throat fillet 1e-300",
             {},
             [](BezierForm& f) { f.divergentFillet = "1e-300"; },
             "Invalid fillet radius for divergent throat",
             filletsMm},
            {"Bezier divergent length 1e308",
             {},
             [](BezierForm& f) { f.divergentLength = "1e308"; },
             "Invalid divergent length",
             sidesMm},
            // At the limits: a 2 micrometre throat, a half-kilometre nozzle, fillets of 0.
            {"conical 2 micrometre throat",
             cone([](ConicalForm& f) {
                 f.entrance = "1";
                 f.throat = "0.002";
                 f.exit = "3";
             }),
             {},
             "",
             ""},
            {"conical half kilometre in metres",
             cone([](ConicalForm& f) {
                 f.unitIndex = 3;
                 f.entrance = "400";
                 f.throat = "200";
                 f.exit = "300";
             }),
             {},
             "",
             ""},
            {"conical fillets of 0",
             cone([](ConicalForm& f) {
                 f.filletOn = f.throatFilletOn = true;
                 f.fillet = f.throatFillet = "0";
             }),
             {},
             "",
             ""},
            {"Bezier entrance fillet 0", {}, [](BezierForm& f) { f.entranceFillet = "0"; }, "", ""},
    };
    for (const Limit& c : cases) {
        SCOPED_TRACE(c.label);
        ContourCheck check;
        if (c.conical) {
            ConicalForm f = conicalDefaults();
            c.conical(f);
            check = checkConical(f, 10);
        } else {
            BezierForm f = bezierDefaults();
            c.bezier(f);
            check = checkBezier(f, 10);
        }
        EXPECT_EQ(check.refusal, c.message);
        EXPECT_EQ(check.rule, c.rule);
        EXPECT_EQ(check.parameters.empty(), !c.message.isEmpty());
    }
}

// A refused form leaves nothing to draw or save: the current nozzle stays the last
// accepted one and nothing is pending.
TEST(NozzleLimits, ARefusedFormLeavesTheCurrentNozzleAsItWas)
{
    currentNozzle = CurrentNozzle{};
    NozzleModel model;
    ASSERT_TRUE(model.computeConical(conicalDefaults(), 0).accepted());
    model.contourPending = false;
    const CurrentNozzle accepted = currentNozzle;
    for (const char* entrance : {"1e308", "inf"}) {
        SCOPED_TRACE(entrance);
        ConicalForm f = conicalDefaults();
        f.entrance = entrance;
        EXPECT_FALSE(model.computeConical(f, 0).accepted());
        EXPECT_FALSE(model.contourPending);
        EXPECT_EQ(currentNozzle.x, accepted.x);
        EXPECT_EQ(currentNozzle.A, accepted.A);
    }
    currentNozzle = CurrentNozzle{};
}
