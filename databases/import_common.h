#pragma once
// What the three file importers (thermodynamic, transport, mechanism) have in common:
// reading numbers the way the published data files write them, splitting a file into
// lines, the overwrite question with its "Do not show again" memory, and the outcome
// an importer hands back. Nothing here needs a window: questions and reports go
// through callbacks, so the importers run the same in a dialog and in a test.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "databases/database_files.h"

class QObject;

// ---- Numbers --------------------------------------------------------------------

// One number scanned from a line of a data file.
struct ScannedNumber {
    bool ok = false; // a well-formed number was found at the position
    double value = 0.0;
    std::size_t begin = 0; // where its text starts (after the blanks skipped)
    std::size_t end = 0; // one past its text
    std::string text; // the text that was (or could not be) read, for messages
};

// Scans the number that starts at `pos` after blanks and tabs: optional sign, digits
// with an optional decimal point, and an optional exponent written with E, e, D or d
// (the Fortran "D" of the published files), whose sign may be given as a blank
// ("0.62526577E 00"). The number must end at the end of the text, at white space, or
// at a sign that starts the next number ("1.0-2.0" is two numbers); anything else
// glued to it ("3.5x", "1.0.0") makes the whole token unreadable (ok false). The C
// locale is used whatever the process locale is.
ScannedNumber scanNumber(std::string_view text, std::size_t pos);

// Every number of the text, in order, until the first unreadable token (which, if any,
// is the last element, with ok false). An empty or blank text gives nothing.
std::vector<ScannedNumber> scanNumbers(std::string_view text);

// The whole text, less surrounding white space, read as one number (the rules of
// scanNumber); nullopt for an empty text or one that holds anything more.
std::optional<double> readWholeNumber(std::string_view text);

// The whole text, less surrounding blanks, as an unsigned decimal integer.
std::optional<unsigned> readWholeCount(std::string_view text);

// ---- Text -----------------------------------------------------------------------

// The lines of a file's text. A line ends at a line feed, at carriage returns followed
// by a line feed (CR LF, CR CR LF) or at a carriage return alone (classic Mac files), so
// files written on any system read alike; line ends are not part of the lines.
std::vector<std::string_view> splitLines(std::string_view text);

// The text in UTF-8: each line (between carriage returns and line feeds) that is not
// well-formed UTF-8 is read as Latin-1. Data files are decoded once, as they are read,
// so a name is the same string when it is compared, asked about and stored.
std::string decodeToUtf8(std::string_view text);

std::string_view trimBlanks(std::string_view text); // blanks, tabs, CR and LF

// A line holding only blanks and tabs (or nothing).
bool isBlankLine(std::string_view line);

// A line that is blank or a "!" comment.
bool isCommentOrBlankLine(std::string_view line);

// Reads a whole file as bytes. False when it is not a regular file or cannot be opened
// or read.
bool readTextFile(const std::string& path, std::string& text);

// ---- Line-based record readers ---------------------------------------------------

// What a record reader hands back besides its records.
struct RecordReadResult {
    bool ok = false;
    // When !ok: the message for the record that could not be read ("Invalid Tmin for
    // specie: Ar", ...), sometimes followed by a second one; or no message at all, and
    // then `detail` says what went wrong (the file ending inside a record, ...).
    std::string message;
    std::string followingMessage;
    std::string detail;
};

// The reading position of a record reader (thermodynamic and transport files) over the
// lines of its file, and its failure. `Result` derives from RecordReadResult.
template <class Result>
class RecordReader {
protected:
    explicit RecordReader(std::string_view text) : lines_(splitLines(text)) { }

    // Moves to the next line that is neither blank nor a comment; false at the end.
    bool nextDataLine()
    {
        while (i_ < lines_.size() && isCommentOrBlankLine(lines_[i_]))
            ++i_;
        return i_ < lines_.size();
    }

    // Ends the reading with `message` (empty: none) and `detail`; always false.
    bool fail(const std::string& message, const std::string& detail = {})
    {
        result_.ok = false;
        result_.message = message;
        result_.detail = detail;
        return false;
    }

    std::vector<std::string_view> lines_;
    std::size_t i_ = 0;
    Result result_;
};

// ---- Questions and reports ---------------------------------------------------------

enum class OverwriteAnswer { Yes, Cancel };

struct OverwriteReply {
    OverwriteAnswer answer = OverwriteAnswer::Yes;
    bool doNotShowAgain = false; // the state of the "Do not show again" check box
};

struct ImportCallbacks {
    // Asks an overwrite question (warning icon, buttons Yes and Cancel, Yes the
    // default, check box "Do not show again"). Not set: every question is answered Yes.
    std::function<OverwriteReply(const std::string& question)> askOverwrite;
    // Shows one refusal or failure message (critical icon); `details` is an optional
    // second sentence for the box's informative text. Not set: nothing is shown.
    std::function<void(const std::string& message, const std::string& details)> report;
};

// The callbacks of the running program: the questions and messages are modal boxes
// (core/message_box.h) parented to `parent`.
ImportCallbacks messageBoxImportCallbacks(QObject* parent);

// The text of the overwrite questions' check box.
inline constexpr const char* kDoNotShowAgain = "Do not show again";

// The memory of one importer call: once a question has been answered with "Do not show
// again" checked, the answer given then is repeated for the rest of the call without
// asking. A new gate (one per reader call) asks again.
class OverwriteGate {
public:
    explicit OverwriteGate(const ImportCallbacks& callbacks) : callbacks_(callbacks) { }
    // True when the existing item may be replaced (the question answered Yes, or Yes
    // remembered); false when it is to be kept.
    bool allow(const std::string& question);

private:
    const ImportCallbacks& callbacks_;
    bool doNotShowAgain_ = false;
    bool rememberedCancel_ = false;
};

void reportTo(const ImportCallbacks& callbacks, const std::string& message, const std::string& details = {});

// ---- Outcome ------------------------------------------------------------------------

struct ImportOutcome {
    // The file was read and the database written (or there was nothing new to write).
    // The browser shows "Successfully read" when true and "Error reading file" when false.
    bool ok = false;
    bool written = false; // the database file was replaced
    int stored = 0; // entries created or replaced (transport: entries given data)
    int kept = 0; // existing entries left as they were after a Cancel answer
    int refused = 0; // records refused with a message (invalid content)
    int passedOver = 0; // transport: records for names the database does not hold,
            // and binary interaction records
    int droppedReactions = 0; // mechanism: reactions naming a species not in the file
    // Why the import failed, when no record message says it (the end of the file inside
    // a record, a line that is not understood, ...), with the line number. Meant for the
    // informative text of the "Error reading file" box.
    std::string detail;
};

// The browser's result texts.
inline constexpr const char* kSuccessfullyRead = "Successfully read";
inline constexpr const char* kErrorReadingFile = "Error reading file";
inline constexpr const char* kFileDoesNotExist = "File does not exist";
// The detail of a thermodynamic or transport import whose file held no record.
inline constexpr const char* kNoRecordRead = "No record could be read from the file";
// Shown when thermodynamic data were stored and the follow-up transport import failed.
inline constexpr const char* kThermoStoredTransportNotRead = "thermodynamic data stored, transport data not read";

// ---- The target database -------------------------------------------------------------

// "Read aborted because species file could not be opened, close it or change its
// accesibility restrictions" (reactants and kinetics alike).
std::string cannotOpenDatabaseMessage(ChemicalDatabase db);

// Reads the database an import writes to (`path` empty: the path in use). A missing
// file raises its code and gives an empty document. False, with the message reported,
// when the import must stop: the file cannot be opened, or it cannot be parsed (an
// import never replaces a file whose content it could not read).
bool loadDatabaseForImport(ChemicalDatabase db, const std::string& path, const ImportCallbacks& callbacks,
                           DatabaseDocument& doc);

// The start of every import: the target database as loadDatabaseForImport reads it, then
// the text of the data file at `filePath`, decoded to UTF-8 (decodeToUtf8). False when
// the import must stop (the reason reported, or in `out.detail` when the data file is a
// folder or cannot be opened).
bool beginImport(ChemicalDatabase db, const std::string& databaseFile, const std::string& filePath,
                 const ImportCallbacks& callbacks, DatabaseDocument& doc, std::string& text, ImportOutcome& out);

// Shows the message(s) of a record that could not be read, and passes its detail on to
// `out`.
void failedRead(const RecordReadResult& read, const ImportCallbacks& callbacks, ImportOutcome& out);

// Writes the document back and marks `out` written and successful; a failed write is
// reported and leaves `out` failed. Returns out.ok.
bool storeImportedDatabase(const DatabaseDocument& doc, ChemicalDatabase db, const ImportCallbacks& callbacks,
                           ImportOutcome& out);

// One refusal: the message that names the record, and an optional second sentence.
struct ImportRefusal {
    std::string message;
    std::string details;
};

// Shows the refusals of one import: a single one as its own message; several in one
// box, `heading` ("<n> records were not imported") with one line per refusal.
void reportRefusals(const ImportCallbacks& callbacks, const std::vector<ImportRefusal>& refusals,
                    const std::string& heading);
