#include "propellant/propellant_file.h"

#include "core/flags.h"
#include "core/preferences.h"

std::string propellantFilePath()
{
    return PROPELLANT.empty() ? appDirectory + "/Data/Propellants.json" : PROPELLANT;
}

PropellantDocument readPropellantFile()
{
    return readDataFile(propellantFilePath(), code::Propellants);
}

bool writePropellantFile(const PropellantDocument& doc, std::string* error)
{
    return writeDataFile(doc, error);
}
