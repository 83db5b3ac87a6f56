#include "propellant/propellant_export.h"

namespace {

class CsvWriter {
public:
    CsvWriter(char separator, int digits) : separator_(separator), digits_(digits) { }
    void line(const std::string& text = {}) { out_ += text + "\n"; }
    std::string cell(const std::string& text) const { return std::string(1, separator_) + text; }
    std::string cell(double value) const { return cell(QString::number(value, 'g', digits_).toStdString()); }
    const std::string& text() const { return out_; }

private:
    char separator_;
    int digits_;
    std::string out_;
};

} // namespace

std::string propellantCsv(const PropellantCsvContent& c, uint32_t bits, char separator, int digits)
{
    CsvWriter csv(separator, digits);
    csv.line();
    csv.line(c.name.toStdString());
    if (bits & propellantExport::Composition) {
        std::string names = csv.cell("Reactants:"), masses = csv.cell("Relative masses:");
        for (const CompositionRow& row : c.composition) {
            names += csv.cell(row.reactant);
            masses += csv.cell(row.relativeMass);
        }
        csv.line(names);
        csv.line(masses);
        csv.line();
    }
    if ((bits & propellantExport::Data) && c.hasSolidData) {
        csv.line(csv.cell("Density: ") + csv.cell(c.density));
        csv.line();
        csv.line(csv.cell("Pmin") + csv.cell("Pmax") + csv.cell("Vielle - a") + csv.cell("Vielle - n"));
        for (std::size_t i = 0; i < c.pressureLimits.size(); ++i)
            csv.line(csv.cell(c.pressureLimits[i].second) + csv.cell(c.pressureLimits[i].first)
                     + csv.cell(c.coefficients.at(i)) + csv.cell(c.exponents.at(i)));
        csv.line();
    }
    if (bits & (propellantExport::Species | propellantExport::Reactions)) {
        if (bits & propellantExport::Species) {
            std::string species = csv.cell("Considered species:");
            for (const std::string& s : c.species)
                species += csv.cell(s);
            csv.line(species);
        }
        if (bits & propellantExport::Reactions) {
            std::string reactions = csv.cell("Considered reactions:");
            for (const std::string& r : c.reactions)
                reactions += csv.cell(r);
            csv.line(reactions);
        }
        csv.line();
    }
    return csv.text();
}
