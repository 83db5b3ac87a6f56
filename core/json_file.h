#pragma once
// The one place where JSON data files are read and written. Reading tells a missing
// file from one that cannot be opened or parsed; writing serialises first and then
// replaces the file atomically, so a failed write never leaves a half-written file.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

enum class JsonReadStatus {
    Ok, // parsed (a literal null reads as an empty object)
    Missing, // nothing exists at the path
    CannotOpen, // something exists but cannot be opened for reading
    // opened, but the content is not JSON, is nested beyond maxJsonNesting or gives a
    // name twice in one object (unless RepeatedNames::LastValueStands)
    Unparsable,
};

// The deepest nesting of arrays and objects a document may have (the outermost array
// or object is level 1). The program's own files need fewer than 8 levels; a deeper
// document is refused as unparsable, since serialising, copying or destroying it
// recurses once per level and a small hostile file would exhaust the stack or write
// gigabytes of indentation.
inline constexpr int maxJsonNesting = 64;

// A name an object of the text gives more than once (a hand edit: two items called
// "Tube"). In an item file a document holds each name once, so taking the text as a
// document would keep only one of them and writing it back would lose the others
// without a word; such a text reads as Unparsable and is never replaced.
struct DuplicateName {
    std::vector<std::string> within; // the names leading to the object: empty for an item name
    std::string name;
};

struct JsonReadResult {
    JsonReadStatus status = JsonReadStatus::Missing;
    nlohmann::json document = nlohmann::json::object(); // empty object unless status is Ok
    std::vector<DuplicateName> duplicates; // why an otherwise valid text is Unparsable
};

// What a name given twice in one object of the text does.
enum class RepeatedNames {
    Refused, // the text is Unparsable: the item files, where a repeated name hides an item
    LastValueStands, // as JSON readers commonly take it: a settings file, whose keys name no items
};

struct JsonReadOptions {
    RepeatedNames repeatedNames = RepeatedNames::Refused;
};

// Anything at the path that is not a regular file (a folder, a device, a FIFO) reads as
// CannotOpen: it is neither read (a FIFO would block, a device never end) nor missing.
JsonReadResult readJsonFile(const std::string& path, const JsonReadOptions& options = {});

// Serialises `document` (indent 4, keys in byte order, one trailing newline; invalid
// UTF-8 replaced) and atomically replaces the file at `path`, which must be a regular
// file (or a link to one) or not exist yet: a folder, a device or a FIFO is never
// replaced. Returns false, leaving whatever is at the path untouched, when the file
// could not be written.
bool writeJsonFile(const std::string& path, const nlohmann::json& document, std::string* error = nullptr);

// The duplicated names for a message: "\"Tube\"" for an item, "\"Units\" in \"Tube\"" for
// a member of one, the first few joined by ", ".
std::string describeDuplicateNames(const std::vector<DuplicateName>& duplicates);

// The text writeJsonFile would write.
std::string serializeJson(const nlohmann::json& document);

// How replaceFileAtomically writes: the bytes as they are, or as text (each line feed
// becomes the platform's line end).
enum class FileContent { Bytes, Text };

// The atomic replacement under writeJsonFile, for every file the program writes whole:
// `content` goes to a new file that then takes the place of the one at `path`, which
// must be a regular file (or a link to one) or not exist yet. Returns false, leaving
// whatever is at the path untouched, when the file could not be written.
bool replaceFileAtomically(const std::string& path, const std::string& content, FileContent kind,
                           std::string* error = nullptr);
