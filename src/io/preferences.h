#pragma once
// The preference file (pref.INI, section "general"): reading one value and
// writing some, and the preferences the program keeps there besides the
// tips' (tips.h).

#include <string>
#include <utility>
#include <vector>

#include "doc/workspace.h"

namespace pixora {

inline constexpr const char* kPrefSection = "general";
// "TRUE": pictures open at 100 % whatever their size; otherwise one larger
// than the view opens fitted to it.
inline constexpr const char* kPrefOpenFullSize = "openfullsize";

// A value of the preference file; empty when it or the file is missing.
std::string ReadPreference(const Workspace& ws, const char* key);

// Writes the values, making the settings folder when it is missing. When the
// file cannot be written it stays as it was, the window port is told "Could
// not save the preferences." with the reason, and the result is false.
bool WritePreferences(const Workspace& ws,
                      const std::vector<std::pair<std::string, std::string>>& values);

bool OpenAtFullSize(const Workspace& ws);
bool SetOpenAtFullSize(const Workspace& ws, bool on);

} // namespace pixora
