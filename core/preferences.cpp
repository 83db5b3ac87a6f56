#include "core/preferences.h"

#define KAVRO_DEFINE_PATH(key, suffix) std::string key;
#define KAVRO_DEFINE_VALUE(section, key, type, def) type key = def;
KAVRO_PATH_PREFERENCES(KAVRO_DEFINE_PATH)
KAVRO_VALUE_PREFERENCES(KAVRO_DEFINE_VALUE)
#undef KAVRO_DEFINE_PATH
#undef KAVRO_DEFINE_VALUE

std::string appDirectory;
bool solidsHidden = false;
bool babyModeActive = false;
