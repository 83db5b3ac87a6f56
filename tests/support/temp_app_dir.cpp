#include "temp_app_dir.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/preferences.h"

TempAppDir::TempAppDir() : previous_(appDirectory)
{
    path_ = dir_.path().toStdString();
    std::filesystem::create_directories(path_ + "/Data");
    appDirectory = path_;
}

TempAppDir::~TempAppDir()
{
    appDirectory = previous_;
}

void TempAppDir::write(const std::string& relativePath, const std::string& text) const
{
    const std::filesystem::path full = std::filesystem::path(path_) / relativePath;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary) << text;
}

std::string TempAppDir::read(const std::string& relativePath) const
{
    std::ifstream in(std::filesystem::path(path_) / relativePath, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}
