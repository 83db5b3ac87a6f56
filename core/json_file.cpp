#include "core/json_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <QFile>
#include <QSaveFile>
#include <QString>

namespace {

// True when arrays and objects nest deeper than `limit` anywhere in `text`. Brackets
// inside strings do not count; for a valid document the count is exact, and an invalid
// one is refused by the parser anyway.
bool nestsDeeperThan(const std::string& text, int limit)
{
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        switch (c) {
        case '"': inString = true; break;
        case '[':
        case '{':
            if (++depth > limit)
                return true;
            break;
        case ']':
        case '}': --depth; break;
        default: break;
        }
    }
    return false;
}

} // namespace

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
    // Only a regular file is read: a FIFO would block the program and a device might
    // never end.
    if (!std::filesystem::is_regular_file(path, ec) || ec) {
        result.status = JsonReadStatus::CannotOpen;
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        result.status = JsonReadStatus::CannotOpen;
        return result;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    if (nestsDeeperThan(text, maxJsonNesting)) {
        result.status = JsonReadStatus::Unparsable;
        return result;
    }
    nlohmann::json parsed = nlohmann::json::parse(text, nullptr, false);
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
    return replaceFileAtomically(path, serializeJson(document), FileContent::Bytes, error);
}

bool replaceFileAtomically(const std::string& path, const std::string& content, FileContent kind, std::string* error)
{
    // The atomic replacement renames a new file over the old one: it must only ever
    // replace a regular file, never a folder, a device or a FIFO that happens to
    // carry the name.
    std::error_code ec;
    const std::filesystem::file_status target = std::filesystem::status(path, ec);
    if (target.type() == std::filesystem::file_type::none) {
        if (error)
            *error = ec.message();
        return false;
    }
    if (target.type() != std::filesystem::file_type::not_found && !std::filesystem::is_regular_file(target)) {
        if (error)
            *error = std::filesystem::is_directory(target) ? "it is a folder, not a file"
                                                           : "it is not a regular file (a device or a FIFO)";
        return false;
    }
    QSaveFile file(QString::fromStdString(path));
    const QIODevice::OpenMode mode
            = kind == FileContent::Text ? QIODevice::WriteOnly | QIODevice::Text : QIODevice::WriteOnly;
    if (!file.open(mode)) {
        if (error)
            *error = file.errorString().toStdString();
        return false;
    }
    if (file.write(content.data(), static_cast<qint64>(content.size())) != static_cast<qint64>(content.size())) {
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
