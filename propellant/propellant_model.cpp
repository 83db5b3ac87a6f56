#include "propellant/propellant_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/flags.h"
#include "core/number_text.h"
#include "core/preferences.h"
#include "propellant/compatibility.h"
#include "propellant/provider_messages.h"
#include "propellant/tab_messages.h"
#include "propellant/vielle_loader.h"

using nlohmann::json;

QString formatNumber(double value)
{
    return QString::number(value, 'g', NUM_DIS_PREC);
}

std::vector<std::string> documentKeys(const json& doc)
{
    std::vector<std::string> keys;
    if (doc.is_object())
        for (auto it = doc.begin(); it != doc.end(); ++it)
            keys.push_back(it.key());
    return keys;
}

namespace {

Reported<bool> refuse(const QString& text, Msg::Icon icon = Msg::Critical, const QString& informativeText = {})
{
    return {false, {tabViewMessage(icon, text, informativeText)}};
}

// The refusal of a write of the propellant file that failed, with the writer's reason.
Reported<bool> writeRefused(const PropellantDocument& doc, const std::string& error)
{
    return {false,
            {tabViewMessage(Msg::Critical,
                            QStringLiteral("The propellant file ") + QString::fromStdString(doc.path)
                                    + QStringLiteral(" could not be written"),
                            QString::fromStdString(error))}};
}

} // namespace

SolidPropellantData PropellantModel::checkedLaw(const SolidDataForm& form, bool topLimit) const
{
    SolidPropellantData solid;
    solid.density = density;
    solid.pressureUnit = form.pressureUnit;
    solid.burnRateUnit = form.burnRateUnit;
    solid.densityUnit = form.densityUnit;
    for (std::size_t i = 0; i < pressureLimits.size(); ++i) {
        VielleInterval interval;
        interval.lower = pressureLimits[i].second;
        if (i + 1 < pressureLimits.size() || topLimit)
            interval.upper = pressureLimits[i].first;
        interval.a = coefficients[i];
        interval.n = exponents[i];
        solid.intervals.push_back(interval);
    }
    return solid;
}

namespace {

// The refusal of a field whose value breaks a rule of the grain runs' burn law: the
// field's own message, with the rule as the informative text.
Reported<bool> refuseFault(const BurnLawFault& fault, const SolidDataForm& form)
{
    const IntervalText* row = fault.interval < form.intervals.size() ? &form.intervals[fault.interval] : nullptr;
    QString text;
    switch (fault.field) {
    case BurnLawField::Intervals: text = emptyVielleParametersMessage(); break;
    case BurnLawField::Density: text = QStringLiteral("Invalid density"); break;
    case BurnLawField::Lower:
        text = QStringLiteral("Invalid Minimum Pressure: ") + (row ? row->lower : QString());
        break;
    case BurnLawField::Upper:
        text = QStringLiteral("Invalid Maximum Pressure: ") + (row ? row->upper : QString());
        break;
    case BurnLawField::Coefficient:
        text = QStringLiteral("Invalid coefficient: ") + (row ? row->coefficient : QString());
        break;
    case BurnLawField::Exponent: text = QStringLiteral("Invalid exponent: ") + (row ? row->exponent : QString()); break;
    }
    return {false, {tabViewMessage(Msg::Critical, text, fault.rule)}};
}

} // namespace

Reported<bool> PropellantModel::checkSolidData(const SolidDataForm& form, bool topLimit)
{
    pressureLimits.clear();
    coefficients.clear();
    exponents.clear();
    if (!form.enabled)
        return {true, {}};
    const std::size_t n = form.intervals.size();

    // The fields are read in their order; what a number must be for a grain run to use the
    // law is the runs' own rule (burnLawFaults), asked for the density first, then for
    // the intervals once they are read.
    const std::optional<double> rho = readNumber(form.density);
    if (!rho)
        return refuse(QStringLiteral("Invalid density"));
    density = *rho;
    for (const BurnLawFault& fault : burnLawFaults(checkedLaw(form, topLimit)))
        if (fault.field == BurnLawField::Density)
            return refuseFault(fault, form);

    pressureLimits.assign(n, {0.0, 0.0});
    coefficients.assign(n, 0.0);
    exponents.assign(n, 0.0);
    // Each field is judged as it is read, so the first field of the form that fails is the
    // one named: by the form's own reading, then by the grain runs' rule for that field
    // (a law every grain run would refuse is not stored). The fields not yet read hold 0,
    // whose faults belong to later fields.
    auto runRuleFault = [&](BurnLawField field, std::size_t interval) -> std::optional<BurnLawFault> {
        for (const BurnLawFault& fault : burnLawFaults(checkedLaw(form, topLimit)))
            if (fault.field == field && fault.interval == interval)
                return fault;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < n; ++i) {
        const IntervalText& row = form.intervals[i];
        // The form's own layout: each interval starts at or above the end of the one before.
        const std::optional<double> lower = readNumber(row.lower);
        if (!lower || (i > 0 && *lower < pressureLimits[i - 1].first))
            return refuse(QStringLiteral("Invalid Minimum Pressure: ") + row.lower);
        pressureLimits[i].second = *lower;
        if (const auto fault = runRuleFault(BurnLawField::Lower, i))
            return refuseFault(*fault, form);
        if (i + 1 < n || topLimit) {
            const std::optional<double> upper = readNumber(row.upper);
            if (!upper || *upper <= *lower)
                return refuse(QStringLiteral("Invalid Maximum Pressure: ") + row.upper);
            pressureLimits[i].first = *upper;
            if (const auto fault = runRuleFault(BurnLawField::Upper, i))
                return refuseFault(*fault, form);
        }
        const std::optional<double> a = readNumber(row.coefficient);
        if (!a)
            return refuse(QStringLiteral("Invalid coefficient: ") + row.coefficient);
        coefficients[i] = *a;
        if (const auto fault = runRuleFault(BurnLawField::Coefficient, i))
            return refuseFault(*fault, form);
        const std::optional<double> exponent = readNumber(row.exponent);
        if (!exponent)
            return refuse(QStringLiteral("Invalid exponent: ") + row.exponent);
        exponents[i] = *exponent;
        if (const auto fault = runRuleFault(BurnLawField::Exponent, i))
            return refuseFault(*fault, form);
    }
    // What the fields cannot show one by one (no interval at all).
    const std::vector<BurnLawFault> faults = burnLawFaults(checkedLaw(form, topLimit));
    if (!faults.empty())
        return refuseFault(faults.front(), form);
    return {true, {}};
}

Reported<bool> PropellantModel::checkComposition(const std::vector<ReactantRowText>& rows)
{
    composition.assign(rows.size(), {});
    if (rows.empty())
        return refuse(QStringLiteral("At least one reactant is needed"));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        composition[i].reactant = rows[i].reactant;
        const std::optional<double> mass = readNumber(rows[i].relativeMass);
        if (!mass || *mass <= 0)
            return refuse(QStringLiteral("Invalid relative weight for reactant ")
                          + QString::fromStdString(rows[i].reactant));
        composition[i].relativeMass = *mass;
    }
    return {true, {}};
}

Reported<bool> PropellantModel::buildMixture(const QString& name, const std::vector<ReactantRowText>& rows)
{
    if (name.isEmpty())
        return refuse(QStringLiteral("Please enter a name for the propellant"), Msg::Warning);
    auto docs = readDatabasesForTab(ChemicalDatabase::Species, ChemicalDatabase::Reactants, "load");
    if (!docs.value)
        return {false, docs.messages};
    const json& speciesDoc = docs.value->first.document;
    const json& reactantsDoc = docs.value->second.document;
    if (rows.empty())
        return refuse(QStringLiteral("At least one reactant is needed for calculations"), Msg::Warning);
    std::vector<CompositionRow> reactants;
    for (const ReactantRowText& row : rows) {
        const std::optional<double> mass = readNumber(row.relativeMass);
        if (!mass || *mass <= 0)
            return refuse(QStringLiteral("Invalid relative mass for reactant '") + QString::fromStdString(row.reactant)
                                  + QStringLiteral("'"),
                          Msg::Warning);
        reactants.push_back({row.reactant, *mass});
    }
    const std::vector<std::string> active = activeNames(compatibleSpecies, speciesDoc);
    const std::vector<std::string> elements = mixtureElements(propellantElements);
    constexpr std::size_t maxItems = std::numeric_limits<uint16_t>::max();
    if (active.size() > maxItems || elements.size() > maxItems || reactants.size() > maxItems)
        return refuse(QStringLiteral("The propellant has too many species, reactants or elements"), Msg::Warning);

    std::vector<std::shared_ptr<Species>> speciesRecords, reactantRecords;
    std::string failed, broken; // the entry rule it breaks, if that is why
    if (!buildSpeciesRecords(active, speciesDoc, speciesRecords, &failed, &broken))
        return refuse(QStringLiteral("Specie '") + QString::fromStdString(failed)
                              + QStringLiteral("' could not be read from the species database"),
                      Msg::Warning, QString::fromStdString(broken));
    if (!buildReactantRecords(reactants, reactantsDoc, reactantRecords, &failed, &broken))
        return refuse(QStringLiteral("Reactant '") + QString::fromStdString(failed)
                              + QStringLiteral("' could not be read from the reactants database"),
                      Msg::Warning, QString::fromStdString(broken));
    mixture_ = std::make_unique<Mixture>(
            static_cast<uint16_t>(speciesRecords.size()), static_cast<uint16_t>(reactantRecords.size()),
            static_cast<uint16_t>(elements.size()), 0, speciesRecords, reactantRecords, elements, nullptr);
    return {true, {}};
}

Reported<bool> PropellantModel::save(const QString& name, const std::vector<ReactantRowText>& rows,
                                     const SolidDataForm& form, bool topLimit, QObject* tab,
                                     const std::function<Reported<bool>()>& verifySelection)
{
    if (name.isEmpty())
        return refuse(QStringLiteral("Cannot have empty name"));
    if (name == QStringLiteral("Current"))
        return refuse(QStringLiteral("Cannot me named ") + QStringLiteral("Current"));
    Reported<bool> checked = checkSolidData(form, topLimit);
    if (!checked.value)
        return checked;
    checked = checkComposition(rows);
    if (!checked.value)
        return checked;

    PropellantDocument propellants = readPropellantFile();
    if (propellants.status == JsonReadStatus::CannotOpen)
        return refuse(cannotOpenFileMessage(QStringLiteral("Propellant")));
    // Writing would replace every propellant the unreadable file holds.
    if (propellants.status == JsonReadStatus::Unparsable)
        return refuse(corruptedFileMessage(QStringLiteral("Propellant"), QStringLiteral("save")));
    auto docs = readDatabasesForTab(ChemicalDatabase::Species, ChemicalDatabase::Kinetics, "save");
    if (!docs.value)
        return {false, docs.messages};

    const std::string key = name.toStdString();
    auto existing = propellants.document.find(key);
    if (existing != propellants.document.end() && !isEmptyValue(*existing)) {
        const MessageReply reply = showTabMessage(
                tab, Msg::Warning, QStringLiteral("You are about to overwrite a save with the same name. Continue?"),
                {}, Msg::Yes | Msg::Cancel, Msg::Yes);
        if (reply.button != Msg::Yes)
            return {false, {}};
    }

    PropellantEntry entry;
    entry.composition = composition;
    entry.elements = propellantElements;
    if (form.enabled)
        entry.solid = checkedLaw(form, topLimit);
    Reported<bool> verified = verifySelection();
    if (!verified.value)
        return verified;
    entry.species = activeNames(compatibleSpecies, docs.value->first.document);
    entry.reactions = activeNames(compatibleReactions, docs.value->second.document);
    // An entry without species could never be calculated, and the start-up check of the
    // data files would take it for a faulty one.
    if (entry.species.empty())
        return {false,
                {tabViewMessage(
                        Msg::Critical, QStringLiteral("At least one species must be selected for the propellant"),
                        QStringLiteral("Select the species to be used in calculations in the species database"))}};

    propellants.document[key] = toJson(entry);
    std::string error;
    if (!writePropellantFile(propellants, &error))
        return writeRefused(propellants, error);
    refreshFlag = 1;
    return {true, {tabViewMessage(Msg::Information, QStringLiteral("Successful save"))}};
}

Reported<std::optional<LoadDocuments>> PropellantModel::readLoadDocuments()
{
    Reported<std::optional<PropellantDocument>> propellants = readPropellants();
    if (!propellants.value)
        return {std::nullopt, propellants.messages};
    auto docs = readDatabasesForTab(ChemicalDatabase::Species, ChemicalDatabase::Kinetics, "load");
    if (!docs.value)
        return {std::nullopt, docs.messages};
    return {LoadDocuments{std::move(*propellants.value), std::move(docs.value->first), std::move(docs.value->second)},
            {}};
}

namespace {

// Sets "isActive" of the existing entries of `names` (membership in `selected`); names
// the document lacks are not created.
void markSelection(json& doc, const std::vector<std::string>& names, const std::vector<std::string>& selected)
{
    for (const std::string& name : names) {
        auto it = doc.find(name);
        if (it != doc.end() && it->is_object())
            (*it)["isActive"] = std::find(selected.begin(), selected.end(), name) != selected.end();
    }
}

// Writes a database back; false, with its refusal appended, when it could not be written.
bool writeBack(const DatabaseDocument& doc, ChemicalDatabase db, ViewMessages& refusals)
{
    if (doc.status != JsonReadStatus::Ok)
        return true; // a missing database is not created by a load
    std::string error;
    if (writeDatabase(doc, &error))
        return true;
    refusals.push_back(tabViewMessage(Msg::Critical, QString::fromStdString(writeFailedMessage(db, doc.path, error))));
    return false;
}

} // namespace

Reported<bool> PropellantModel::applyStoredSelection(const PropellantEntry& entry, LoadDocuments& docs)
{
    markSelection(docs.species.document, compatibleSpecies, entry.species);
    markSelection(docs.kinetics.document, compatibleReactions, entry.reactions);
    Reported<bool> result;
    const bool species = writeBack(docs.species, ChemicalDatabase::Species, result.messages);
    const bool kinetics = writeBack(docs.kinetics, ChemicalDatabase::Kinetics, result.messages);
    result.value = species && kinetics;
    return result;
}

Reported<std::optional<PropellantDocument>> PropellantModel::readPropellants()
{
    PropellantDocument doc = readPropellantFile();
    if (doc.status == JsonReadStatus::CannotOpen)
        return {std::nullopt, refuse(cannotOpenFileMessage(QStringLiteral("Propellant"))).messages};
    return {std::move(doc), {}};
}

Reported<bool> PropellantModel::erasePropellant(PropellantDocument& doc, const std::string& name)
{
    doc.document.erase(name);
    std::string error;
    if (writePropellantFile(doc, &error))
        return {true, {}};
    return writeRefused(doc, error);
}
