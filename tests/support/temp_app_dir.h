#pragma once
// A temporary application folder for one test: sets appDirectory to it (with a Data
// subfolder) and restores the previous value afterwards.
#include <string>

#include <QTemporaryDir>

class TempAppDir {
public:
    TempAppDir();
    ~TempAppDir();
    const std::string& path() const { return path_; }
    std::string dataFile(const std::string& name) const { return path_ + "/Data/" + name; }
    // Writes raw text to a file below the folder, creating folders as needed.
    void write(const std::string& relativePath, const std::string& text) const;
    std::string read(const std::string& relativePath) const;

private:
    QTemporaryDir dir_;
    std::string path_;
    std::string previous_;
};
