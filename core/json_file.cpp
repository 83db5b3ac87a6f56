#include "core/json_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

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

using nlohmann::json;

// Builds the document as the library's own parser does, and notes every name an object
// gives more than once (the library's parser silently keeps the last). A member's place
// is taken when its name is read, so the check costs no more than building the object.
class DocumentBuilder : public nlohmann::json_sax<json> {
public:
    explicit DocumentBuilder(json& root) : root_(root) { }

    const std::vector<DuplicateName>& duplicates() const { return duplicates_; }

    bool null() override { return put(nullptr); }
    bool boolean(bool value) override { return put(value); }
    bool number_integer(number_integer_t value) override { return put(value); }
    bool number_unsigned(number_unsigned_t value) override { return put(value); }
    bool number_float(number_float_t value, const string_t&) override { return put(value); }
    bool string(string_t& value) override { return put(std::move(value)); }
    bool binary(binary_t& value) override { return put(json::binary(std::move(value))); }
    bool start_object(std::size_t) override
    {
        open_.push_back({&place(json::object()), nullptr, 0});
        return true;
    }
    bool key(string_t& name) override
    {
        Open& top = open_.back();
        auto [it, inserted] = top.value->get_ref<json::object_t&>().emplace(name, nullptr);
        if (!inserted) {
            DuplicateName twice{path(), name};
            bool known = false; // a name given three times is one duplicate
            for (const DuplicateName& d : duplicates_)
                known = known || (d.name == twice.name && d.within == twice.within);
            if (!known)
                duplicates_.push_back(std::move(twice));
            // The later value takes the member's place, as with the library's parser.
        }
        top.member = &*it;
        return true;
    }
    bool end_object() override
    {
        open_.pop_back();
        return true;
    }
    bool start_array(std::size_t) override
    {
        open_.push_back({&place(json::array()), nullptr, 0});
        return true;
    }
    bool end_array() override
    {
        open_.pop_back();
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

private:
    struct Open {
        json* value; // the object or array being filled
        std::pair<const std::string, json>* member; // an object's member whose value comes next
        std::size_t elements; // an array's elements so far
    };

    // Puts a value where the text has it: the document, the next element of the array
    // being filled or the member whose name was just read.
    template <typename T>
    json& place(T&& value)
    {
        if (open_.empty()) {
            root_ = json(std::forward<T>(value));
            return root_;
        }
        Open& top = open_.back();
        if (top.value->is_array()) {
            ++top.elements;
            return top.value->get_ref<json::array_t&>().emplace_back(std::forward<T>(value));
        }
        top.member->second = json(std::forward<T>(value));
        return top.member->second;
    }
    // A value that opens nothing: placing it cannot fail, so the parse goes on.
    template <typename T>
    bool put(T&& value)
    {
        place(std::forward<T>(value));
        return true;
    }

    // The names leading to the object being filled ("[i]" for an array element).
    std::vector<std::string> path() const
    {
        std::vector<std::string> names;
        for (std::size_t i = 0; i + 1 < open_.size(); ++i) {
            const Open& o = open_[i];
            names.push_back(o.value->is_array() ? "[" + std::to_string(o.elements - 1) + "]" : o.member->first);
        }
        return names;
    }

    json& root_;
    std::vector<Open> open_;
    std::vector<DuplicateName> duplicates_;
};

} // namespace

JsonReadResult readJsonFile(const std::string& path, const JsonReadOptions& options)
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
    nlohmann::json parsed;
    DocumentBuilder builder(parsed);
    if (!nlohmann::json::sax_parse(text, &builder)) {
        result.status = JsonReadStatus::Unparsable;
        return result;
    }
    if (!builder.duplicates().empty() && options.repeatedNames == RepeatedNames::Refused) {
        result.status = JsonReadStatus::Unparsable;
        result.duplicates = builder.duplicates();
        return result;
    }
    result.status = JsonReadStatus::Ok;
    result.document = parsed.is_null() ? nlohmann::json::object() : std::move(parsed);
    return result;
}

std::string describeDuplicateNames(const std::vector<DuplicateName>& duplicates)
{
    constexpr std::size_t shown = 5;
    std::string text;
    for (std::size_t i = 0; i < duplicates.size() && i < shown; ++i) {
        const DuplicateName& d = duplicates[i];
        if (!text.empty())
            text += ", ";
        text += "\"" + d.name + "\"";
        if (!d.within.empty())
            text += " in \"" + d.within.front() + "\"";
    }
    if (duplicates.size() > shown)
        text += ", ...";
    return text;
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
