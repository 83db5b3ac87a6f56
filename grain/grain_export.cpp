#include "grain/grain_export.h"

#include <locale>
#include <sstream>

namespace grain {

namespace {

const char* const kCaptions4[] = {"Exterior diameter", "Interior diameter", "Length", "Number"};
const char* const kCaptions6[]
        = {"Exterior diameter", "Interior diameter", "Point diameter", "Length", "Number", "Points"};
const char* const kCaptions2[] = {"Exterior diameter", "Length"};

const char* combustionName(uint8_t type)
{
    switch (type) {
    case 0: return "Radial & Base";
    case 1: return "Radial";
    case 2: return "Base";
    default: return "";
    }
}

} // namespace

std::string grainCsvText(const GrainCsvContent& content, uint32_t mask, char separator, int digits)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(digits);
    out << '\n' << content.name << '\n';
    if (mask & exportBit::Parameters) {
        const std::size_t count = content.parameters.size();
        const char* const* captions = count == 4 ? kCaptions4
                : count == 6                     ? kCaptions6
                : count == 2                     ? kCaptions2
                                                 : nullptr;
        for (std::size_t i = 0; captions && i < count; ++i)
            out << separator << captions[i];
        out << separator << "Combustion type\n";
        for (double value : content.parameters)
            out << separator << value;
        out << separator << combustionName(content.combustion) << "\n\n";
    }
    if (mask & exportBit::Values) {
        out << separator << "Coordinate y:";
        for (float value : content.y)
            out << separator << static_cast<double>(value);
        out << '\n' << separator << "Combustion area:";
        for (float value : content.area)
            out << separator << static_cast<double>(value);
    }
    return out.str();
}

QString exportFailedMessage(const QString& path, const QString& reason)
{
    QString text = QStringLiteral("Export failed: ") + path + QStringLiteral(" could not be written");
    if (!reason.isEmpty())
        text += QStringLiteral(" (") + reason + QStringLiteral(")");
    return text;
}

} // namespace grain
