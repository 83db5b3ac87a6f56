#include "core/text_file.h"

#include "core/json_file.h"

bool writeTextFile(const QString& path, const std::string& text, QString* error)
{
    std::string reason;
    if (replaceFileAtomically(path.toStdString(), text, FileContent::Text, &reason))
        return true;
    if (error)
        *error = QString::fromStdString(reason);
    return false;
}
