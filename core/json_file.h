#pragma once
// The one place where JSON data files are read and written. Reading tells a missing
// file from one that cannot be opened or parsed; writing serialises first and then
// replaces the file atomically, so a failed write never leaves a half-written file.
#include <string>

#include <nlohmann/json.hpp>

enum class JsonReadStatus {
    Ok, // parsed (a literal null reads as an empty object)
    Missing, // nothing exists at the path
    CannotOpen, // something exists but cannot be opened for reading
    Unparsable, // opened, but the content is not JSON
};

struct JsonReadResult {
    JsonReadStatus status = JsonReadStatus::Missing;
    nlohmann::json document = nlohmann::json::object(); // empty object unless status is Ok
};

JsonReadResult readJsonFile(const std::string& path);

// Serialises `document` (indent 4, keys in byte order, one trailing newline; invalid
// UTF-8 replaced) and atomically replaces the file at `path`. Returns false, leaving
// any existing file untouched, when the file could not be written.
bool writeJsonFile(const std::string& path, const nlohmann::json& document, std::string* error = nullptr);

// The text writeJsonFile would write.
std::string serializeJson(const nlohmann::json& document);
