#pragma once
// Shared by the importer tests: a recorder for the questions and reports of one import,
// answering the questions from a queue (Yes when it is empty), and file helpers.
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "databases/import_common.h"

struct ImportRecorder {
    std::vector<std::string> questions;
    std::vector<std::pair<std::string, std::string>> reports; // message, details
    std::deque<OverwriteReply> answers;

    void answer(OverwriteAnswer a, bool doNotShowAgain = false) { answers.push_back({a, doNotShowAgain}); }
    void answer(const std::vector<OverwriteReply>& replies)
    {
        for (const OverwriteReply& r : replies)
            answer(r.answer, r.doNotShowAgain);
    }

    ImportCallbacks callbacks()
    {
        ImportCallbacks c;
        c.askOverwrite = [this](const std::string& q) {
            questions.push_back(q);
            if (answers.empty())
                return OverwriteReply{};
            OverwriteReply r = answers.front();
            answers.pop_front();
            return r;
        };
        c.report = [this](const std::string& m, const std::string& d) { reports.emplace_back(m, d); };
        return c;
    }

    std::vector<std::string> messages() const
    {
        std::vector<std::string> out;
        for (const auto& r : reports)
            out.push_back(r.first);
        return out;
    }
};

inline std::string importDataFile(const std::string& name)
{
    return std::string(KAVRO_TEST_DATA_DIR) + "/import/" + name;
}

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

inline void writeBytes(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

inline nlohmann::json readJson(const std::string& path)
{
    return nlohmann::json::parse(readBytes(path));
}

// Replaces the first occurrence of `from` (which must be there) by `to`.
inline std::string mutate(std::string text, const std::string& from, const std::string& to)
{
    const auto pos = text.find(from);
    if (pos == std::string::npos)
        return "<mutation not found: " + from + ">";
    return text.replace(pos, from.size(), to);
}

// The ways of answering the overwrite questions when an import meets two stored records
// again: the answers, how many questions are then asked, and whether the first and the
// second record are replaced.
struct OverwriteCase {
    const char* what;
    std::vector<OverwriteReply> answers;
    std::size_t questions;
    bool firstReplaced, secondReplaced;
};

inline const std::vector<OverwriteCase>& overwriteCases()
{
    static const std::vector<OverwriteCase> cases = {
            {"Yes, Yes", {{OverwriteAnswer::Yes, false}, {OverwriteAnswer::Yes, false}}, 2, true, true},
            {"Cancel, Yes", {{OverwriteAnswer::Cancel, false}, {OverwriteAnswer::Yes, false}}, 2, false, true},
            {"Cancel, do not show again", {{OverwriteAnswer::Cancel, true}}, 1, false, false},
            {"Yes, do not show again", {{OverwriteAnswer::Yes, true}}, 1, true, true},
    };
    return cases;
}
