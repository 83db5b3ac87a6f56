#include "databases/import_common.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <QString>

#include "core/message_box.h"

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The text of the unreadable token starting at `begin`, for messages.
std::string tokenAt(std::string_view t, std::size_t begin)
{
    std::size_t e = begin;
    while (e < t.size() && !isSpace(t[e]))
        ++e;
    return std::string(t.substr(begin, e - begin));
}

} // namespace

ScannedNumber scanNumber(std::string_view t, std::size_t pos)
{
    ScannedNumber r;
    const std::size_t n = t.size();
    while (pos < n && (t[pos] == ' ' || t[pos] == '\t'))
        ++pos;
    r.begin = r.end = pos;
    if (pos >= n)
        return r;

    auto fail = [&]() {
        r.ok = false;
        r.text = tokenAt(t, r.begin);
        r.end = r.begin + r.text.size();
        return r;
    };

    std::string buf;
    std::size_t p = pos;
    if (t[p] == '+' || t[p] == '-') {
        if (t[p] == '-')
            buf += '-';
        ++p;
    }
    int mantissaDigits = 0;
    while (p < n && isDigit(t[p])) {
        buf += t[p++];
        ++mantissaDigits;
    }
    if (p < n && t[p] == '.') {
        buf += t[p++];
        while (p < n && isDigit(t[p])) {
            buf += t[p++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return fail();

    if (p < n && (t[p] == 'E' || t[p] == 'e' || t[p] == 'D' || t[p] == 'd')) {
        std::size_t q = p + 1;
        char sign = '+';
        if (q < n && (t[q] == '+' || t[q] == '-'))
            sign = t[q++];
        else if (q < n && t[q] == ' ')
            ++q; // the blank that stands for a plus sign
        int exponentDigits = 0;
        std::string digits;
        while (q < n && isDigit(t[q])) {
            digits += t[q++];
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return fail();
        buf += 'e';
        buf += sign;
        buf += digits;
        p = q;
    }

    // The number must end where its token ends (or where a glued signed number starts).
    if (p < n && !isSpace(t[p]) && t[p] != '+' && t[p] != '-')
        return fail();

    double value = 0.0;
    const char* first = buf.data();
    const char* last = buf.data() + buf.size();
    auto res = std::from_chars(first, last, value);
    if (res.ec != std::errc() || res.ptr != last || !std::isfinite(value))
        return fail();

    r.ok = true;
    r.value = value;
    r.end = p;
    r.text = std::string(t.substr(pos, p - pos));
    return r;
}

std::vector<ScannedNumber> scanNumbers(std::string_view text)
{
    std::vector<ScannedNumber> out;
    std::size_t pos = 0;
    for (;;) {
        while (pos < text.size() && isSpace(text[pos]))
            ++pos;
        if (pos >= text.size())
            break;
        ScannedNumber s = scanNumber(text, pos);
        out.push_back(s);
        if (!s.ok)
            break;
        pos = s.end;
    }
    return out;
}

std::optional<double> readWholeNumber(std::string_view text)
{
    text = trimBlanks(text);
    if (text.empty())
        return std::nullopt;
    ScannedNumber s = scanNumber(text, 0);
    if (!s.ok || s.begin != 0 || s.end != text.size())
        return std::nullopt;
    return s.value;
}

std::optional<unsigned> readWholeCount(std::string_view text)
{
    text = trimBlanks(text);
    if (text.empty())
        return std::nullopt;
    for (char c : text)
        if (!isDigit(c))
            return std::nullopt;
    unsigned value = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t p = 0;
    const std::size_t n = text.size();
    while (p < n) {
        if (text[p] == '\n') {
            lines.push_back(text.substr(start, p - start));
            start = ++p;
            continue;
        }
        if (text[p] != '\r') {
            ++p;
            continue;
        }
        // Carriage returns followed by a line feed (CR LF, or CR CR LF left by a second
        // conversion of a Windows file) end one line; a carriage return alone ends a
        // line too (classic Mac files).
        std::size_t q = p;
        while (q < n && text[q] == '\r')
            ++q;
        lines.push_back(text.substr(start, p - start));
        start = p = (q < n && text[q] == '\n') ? q + 1 : p + 1;
    }
    if (start < n)
        lines.push_back(text.substr(start));
    return lines;
}

namespace {

// Length of the well-formed UTF-8 sequence at `p` (shortest form, no surrogate, at most
// U+10FFFF), or 0.
std::size_t utf8SequenceAt(std::string_view t, std::size_t p)
{
    const auto byte = [&](std::size_t i) { return i < t.size() ? static_cast<unsigned char>(t[i]) : 0u; };
    const unsigned c = byte(p);
    if (c < 0x80)
        return 1;
    const auto cont = [&](std::size_t i, unsigned lo = 0x80, unsigned hi = 0xBF) {
        const unsigned b = byte(i);
        return b >= lo && b <= hi;
    };
    if (c >= 0xC2 && c <= 0xDF)
        return cont(p + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned lo = c == 0xE0 ? 0xA0 : 0x80;
        const unsigned hi = c == 0xED ? 0x9F : 0xBF;
        return cont(p + 1, lo, hi) && cont(p + 2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned lo = c == 0xF0 ? 0x90 : 0x80;
        const unsigned hi = c == 0xF4 ? 0x8F : 0xBF;
        return cont(p + 1, lo, hi) && cont(p + 2) && cont(p + 3) ? 4 : 0;
    }
    return 0;
}

bool isUtf8(std::string_view t)
{
    for (std::size_t p = 0; p < t.size();) {
        const std::size_t len = utf8SequenceAt(t, p);
        if (len == 0)
            return false;
        p += len;
    }
    return true;
}

void appendLatin1AsUtf8(std::string_view t, std::string& out)
{
    for (char ch : t) {
        const unsigned c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

} // namespace

std::string decodeToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (isUtf8(line))
            out += line;
        else
            appendLatin1AsUtf8(line, out);
        if (end == text.size())
            break;
        out += text[end];
        start = end + 1;
    }
    return out;
}

std::string_view trimBlanks(std::string_view text)
{
    std::size_t b = 0;
    while (b < text.size() && isSpace(text[b]))
        ++b;
    std::size_t e = text.size();
    while (e > b && isSpace(text[e - 1]))
        --e;
    return text.substr(b, e - b);
}

bool isBlankLine(std::string_view line)
{
    return trimBlanks(line).empty();
}

bool isCommentOrBlankLine(std::string_view line)
{
    return (!line.empty() && line.front() == '!') || isBlankLine(line);
}

bool readTextFile(const std::string& path, std::string& text)
{
    // Only a regular file: a folder reads as nothing, a FIFO blocks, a device never ends.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad())
        return false;
    text = std::move(buffer).str();
    return true;
}

ImportCallbacks messageBoxImportCallbacks(QObject* parent)
{
    ImportCallbacks callbacks;
    callbacks.askOverwrite = [parent](const std::string& question) {
        MessageRequest request;
        request.icon = Msg::Warning;
        request.text = QString::fromStdString(question);
        request.buttons = Msg::Yes | Msg::Cancel;
        request.defaultButton = Msg::Yes;
        request.checkBoxText = QString::fromUtf8(kDoNotShowAgain);
        MessageReply reply = showMessage(parent, request);
        OverwriteReply out;
        out.answer = reply.button == Msg::Yes ? OverwriteAnswer::Yes : OverwriteAnswer::Cancel;
        out.doNotShowAgain = reply.checked;
        return out;
    };
    callbacks.report = [parent](const std::string& message, const std::string& details) {
        showCritical(parent, QString::fromStdString(message), QString::fromStdString(details));
    };
    return callbacks;
}

bool OverwriteGate::allow(const std::string& question)
{
    if (!doNotShowAgain_) {
        OverwriteReply reply;
        if (callbacks_.askOverwrite)
            reply = callbacks_.askOverwrite(question);
        rememberedCancel_ = reply.answer == OverwriteAnswer::Cancel;
        if (reply.doNotShowAgain)
            doNotShowAgain_ = true;
    }
    return !rememberedCancel_;
}

void reportTo(const ImportCallbacks& callbacks, const std::string& message, const std::string& details)
{
    if (callbacks.report)
        callbacks.report(message, details);
}

std::string cannotOpenDatabaseMessage(ChemicalDatabase db)
{
    return "Read aborted because " + databaseWord(db)
            + " file could not be opened, close it or change its accesibility restrictions";
}

bool loadDatabaseForImport(ChemicalDatabase db, const std::string& path, const ImportCallbacks& callbacks,
                           DatabaseDocument& doc)
{
    doc = readDatabaseAt(db, path.empty() ? databasePath(db) : path);
    if (doc.status == JsonReadStatus::CannotOpen) {
        reportTo(callbacks, cannotOpenDatabaseMessage(db));
        return false;
    }
    if (!doc.writable()) {
        // A file giving a name twice is named with it: the rest of the message does not
        // say what to repair.
        reportTo(callbacks, corruptDatabaseMessage(db, "Import", doc.path),
                 doc.duplicates.empty()
                         ? std::string()
                         : "It gives the same name more than once: " + describeDuplicateNames(doc.duplicates));
        return false;
    }
    return true;
}

bool beginImport(ChemicalDatabase db, const std::string& databaseFile, const std::string& filePath,
                 const ImportCallbacks& callbacks, DatabaseDocument& doc, std::string& text, ImportOutcome& out)
{
    if (!loadDatabaseForImport(db, databaseFile, callbacks, doc))
        return false;
    std::error_code ec;
    if (std::filesystem::is_directory(filePath, ec)) {
        out.detail = filePath + " is a folder, not a file";
        return false;
    }
    if (!readTextFile(filePath, text)) {
        out.detail = "The file " + filePath + " could not be opened";
        return false;
    }
    text = decodeToUtf8(text);
    return true;
}

void failedRead(const RecordReadResult& read, const ImportCallbacks& callbacks, ImportOutcome& out)
{
    for (const std::string* message : {&read.message, &read.followingMessage})
        if (!message->empty())
            reportTo(callbacks, *message);
    out.detail = read.detail;
}

bool storeImportedDatabase(const DatabaseDocument& doc, ChemicalDatabase db, const ImportCallbacks& callbacks,
                           ImportOutcome& out)
{
    std::string error;
    out.written = out.ok = writeDatabase(doc, &error);
    if (!out.ok)
        reportTo(callbacks, writeFailedMessage(db, doc.path, error));
    return out.ok;
}

void reportRefusals(const ImportCallbacks& callbacks, const std::vector<ImportRefusal>& refusals,
                    const std::string& heading)
{
    if (refusals.empty())
        return;
    if (refusals.size() == 1) {
        reportTo(callbacks, refusals.front().message, refusals.front().details);
        return;
    }
    std::string list;
    for (const ImportRefusal& r : refusals) {
        if (!list.empty())
            list += '\n';
        list += r.message;
        if (!r.details.empty())
            list += " (" + r.details + ")";
    }
    reportTo(callbacks, heading, list);
}
