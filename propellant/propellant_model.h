#pragma once
// The propellant tab's model: what the tab's fields hold once checked (composition,
// density, burn law), the checks in their order with their messages, the tab's own
// mixture for the c* tools, and the operations on Propellants.json. It holds no widget:
// the tab hands it the texts of its fields and writes back what it returns, and shows
// the refusals and notices it returns (boxes of the tab). Only the overwrite question,
// asked in the middle of a save, goes through the message seam from here.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <nlohmann/json.hpp>

#include "core/view_message.h"
#include "databases/database_files.h"
#include "engine/mixture.h"
#include "propellant/entry_reading.h"
#include "propellant/propellant_entry.h"
#include "propellant/propellant_file.h"

class QObject;

// One reactant row as the tab shows it.
struct ReactantRowText {
    std::string reactant; // the row's label (a key of Reactants.json)
    QString relativeMass; // the relative-mass field
};

// One burn-law interval row as typed.
struct IntervalText {
    QString lower, upper, coefficient, exponent;
};

// The "Propellant data" group as the tab shows it.
struct SolidDataForm {
    bool enabled = false; // PropDataBox checked
    QString density;
    std::vector<IntervalText> intervals; // at least one row
    int pressureUnit = 0; // Box_P_units
    int burnRateUnit = 0; // Box_a_units
    int densityUnit = 0; // Box_dens_units
};

// A number as the tab's fields show it: general format, NUM_DIS_PREC significant digits.
QString formatNumber(double value);

// What a load needs: the three files read, each with its status.
struct LoadDocuments {
    PropellantDocument propellants;
    DatabaseDocument species;
    DatabaseDocument kinetics;
};

class PropellantModel {
public:
    // The values of the last checkSolidData (empty lists when the group was off).
    double density = 0.0;
    std::vector<double> coefficients;
    std::vector<double> exponents;
    std::vector<std::pair<double, double>> pressureLimits; // (upper, lower) per interval
    // The values of the last checkComposition.
    std::vector<CompositionRow> composition;

    // The tab's own mixture (no reactions), built by buildMixture; null before.
    Mixture* mixture() const { return mixture_.get(); }

    // Critical refusal, first failure only: "Invalid density", "Invalid Minimum
    // Pressure: ", "Invalid Maximum Pressure: ", "Invalid coefficient: ", "Invalid
    // exponent: " (each followed by the field's text). A disabled group passes with empty
    // lists. The last row's upper limit is not read when `topLimit`
    // (PRES_VIELLE_TOP_LIMIT) is false. The fields are read in order (numbers; each
    // interval from the end of the one before, ending above its start); then the law must
    // keep the grain runs' rules (burnLawFaults, the density's before the intervals): a
    // field that breaks one is refused with its message and the rule as the informative
    // text, so that no law is stored that every run would refuse (n >= 1 among them).
    Reported<bool> checkSolidData(const SolidDataForm& form, bool topLimit);
    // Critical refusal: "At least one reactant is needed", "Invalid relative weight for
    // reactant " + name (not a number, or <= 0).
    Reported<bool> checkComposition(const std::vector<ReactantRowText>& rows);

    // Rebuilds the tab's mixture from the rows, the selected compatible species and
    // propellantElements; the previous mixture stays when it is refused (warning for the
    // input, critical for the files).
    Reported<bool> buildMixture(const QString& name, const std::vector<ReactantRowText>& rows);

    // The save of the propellant named `name` after its checks, in the order: the name,
    // checkSolidData, checkComposition, the three files, the overwrite question (a child
    // of `tab`), the selection check (`verifySelection`, updateCompatibleReactionsFor(true)
    // for the tab), the entry, the write, "Successful save", refreshFlag. False at the
    // first refusal or when the question is declined.
    Reported<bool> save(const QString& name, const std::vector<ReactantRowText>& rows, const SolidDataForm& form,
                        bool topLimit, QObject* tab, const std::function<Reported<bool>()>& verifySelection);

    // A load's files (Propellants.json, Species.json, Kinetics.json); nullopt, with the
    // refusal, when one cannot be opened, or Species/Kinetics cannot be parsed.
    static Reported<std::optional<LoadDocuments>> readLoadDocuments();
    // Marks the compatible species and reactions active exactly when the stored entry
    // lists them (existing entries only) and writes Species.json, then Kinetics.json.
    // A database that was missing is not created. A failed write is refused.
    static Reported<bool> applyStoredSelection(const PropellantEntry& entry, LoadDocuments& docs);

    // The propellant file for a deletion (or a listing): nullopt, with the refusal, when
    // it cannot be opened.
    static Reported<std::optional<PropellantDocument>> readPropellants();
    // Erases `name` and writes the file; a failed write is refused.
    static Reported<bool> erasePropellant(PropellantDocument& doc, const std::string& name);

private:
    // The burn law of the last checkSolidData as it is stored, units from `form`.
    SolidPropellantData checkedLaw(const SolidDataForm& form, bool topLimit) const;

    std::unique_ptr<Mixture> mixture_;
};

// The keys of a document, in its order.
std::vector<std::string> documentKeys(const nlohmann::json& doc);
