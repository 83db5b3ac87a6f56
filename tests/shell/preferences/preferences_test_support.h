#pragma once
// A throw-away application folder with a preferences file of defaults loaded, for the
// Preferences dialog's tests, and the editing of single fields of the dialog.
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/flags.h"
#include "core/preference_file.h"
#include "core/preferences.h"
#include "shell/preferences_fields.h"
#include "shell/preferences_form.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

// Every preference back to its default, the paths empty: a fresh process.
inline void freshPreferenceValues()
{
#define KAVRO_FRESH_PATH(key, suffix) key.clear();
#define KAVRO_FRESH_VALUE(section, key, type, def) key = type(def);
    KAVRO_PATH_PREFERENCES(KAVRO_FRESH_PATH)
    KAVRO_VALUE_PREFERENCES(KAVRO_FRESH_VALUE)
#undef KAVRO_FRESH_PATH
#undef KAVRO_FRESH_VALUE
}

inline std::string readFileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

// The position of `key` in the dialog's field table (fails the test when it has none).
inline size_t fieldIndex(std::string_view key)
{
    const auto& fields = preferenceFields();
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].key == key)
            return i;
    ADD_FAILURE() << "no field for " << key;
    return 0;
}

class PreferencesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        freshPreferenceValues();
        ASSERT_TRUE(loadPreferences().value); // writes a complete file of defaults
        flagsF = 0;
    }
    void TearDown() override
    {
        freshPreferenceValues();
        flagsF = 0;
    }

    std::string preferencesFile() const { return app.dataFile("Preferences.json"); }
    nlohmann::json fileDocument() const { return nlohmann::json::parse(readFileText(preferencesFile())); }
    // Writes `document` as the preferences file and loads it.
    void loadDocument(const nlohmann::json& document)
    {
        app.write("Data/Preferences.json", document.dump(4));
        ASSERT_TRUE(loadPreferences().value);
        flagsF = 0;
    }

    TempAppDir app;
    MessageRecorder messages;
};
