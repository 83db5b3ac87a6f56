#include "core/json_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <QFile>
#include <QSaveFile>
#include <QString>

JsonReadResult readJsonFile(const std::string& path)
{
    JsonReadResult result;
    std::error_code ec;
    const bool present = std::filesystem::exists(path, ec);
    if (ec) {
        // The path cannot be looked at (access denied on a folder, a symlink loop...):
        // what may be there must not be taken for missing and replaced.
        result.status = JsonReadStatus::CannotOpen;
        return result;
    }
    if (!present) {
        result.status = JsonReadStatus::Missing;
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open() || std::filesystem::is_directory(path, ec)) {
        result.status = JsonReadStatus::CannotOpen;
        return result;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    nlohmann::json parsed = nlohmann::json::parse(buffer.str(), nullptr, false);
    if (parsed.is_discarded()) {
        result.status = JsonReadStatus::Unparsable;
        return result;
    }
    result.status = JsonReadStatus::Ok;
    result.document = parsed.is_null() ? nlohmann::json::object() : std::move(parsed);
    return result;
}

std::string serializeJson(const nlohmann::json& document)
{
    return document.dump(4, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

bool writeJsonFile(const std::string& path, const nlohmann::json& document, std::string* error)
{
    const std::string text = serializeJson(document);
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString().toStdString();
        return false;
    }
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        if (error)
            *error = file.errorString().toStdString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString().toStdString();
        return false;
    }
    return true;
}
