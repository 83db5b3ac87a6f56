#pragma once
// The one writer of the text files the program exports (the CSV files of the four tabs):
// the whole file replaced atomically by the JSON helper's replacement, in text mode, so
// that every line ends as the platform's text files do.
#include <string>

#include <QString>

// Writes `text` as the whole file at `path`; the file is replaced only once everything
// was written. False, with the reason in *error and any earlier file left as it was,
// when it could not be written.
bool writeTextFile(const QString& path, const std::string& text, QString* error = nullptr);
