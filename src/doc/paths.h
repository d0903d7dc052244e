#pragma once
// Where the program keeps its files. This is the one place that turns the
// program folder (ExeDir) and the desktop's folder variables into paths.
//
// Run from the build tree, whose program folder carries a writable bin/, the
// files stay where they always were: ExeDir + "bin/hstry/", "bin/save/" and
// so on. Installed, the program folder is not ours to write: read-only data
// comes from the shared data folder beside the binaries (share/pixora/) and
// everything the program writes goes to the user's XDG folders.

#include <string>

namespace pixora {

enum class TPathLayout {
    ProgramFolder, // everything under ExeDir + "bin/"
    Desktop,       // read-only data shipped with the program, state in XDG folders
};

// Every folder ends with '/'.
struct TProgramPaths {
    TPathLayout Layout = TPathLayout::ProgramFolder;
    std::string Resources;       // cursors 1.cur..16.cur and help.html (read-only)
    std::string StarterPatterns; // shipped pattern set (read-only)
    std::string StarterBrushes;  // shipped brush set (read-only)
    std::string History;         // snapshot folder; each running copy has a subfolder of it
    std::string Settings;        // pref.INI and files.txt
    std::string Patterns;        // the user's pattern library
    std::string Brushes;         // the user's brush library
    std::string Recovery;        // files that let unsaved images outlive a crash

    std::string PreferencesFile() const { return Settings + "pref.INI"; }
    std::string RecentFilesFile() const { return Settings + "files.txt"; }
    std::string HelpFile() const { return Resources + "help.html"; }
};

// The desktop's folder variables as the process sees them. Empty = unset.
struct TPathEnvironment {
    std::string Home;
    std::string ConfigHome; // XDG_CONFIG_HOME
    std::string DataHome;   // XDG_DATA_HOME
    std::string StateHome;  // XDG_STATE_HOME
    std::string CacheHome;  // XDG_CACHE_HOME
    std::string RuntimeDir; // XDG_RUNTIME_DIR
};

// Reads the variables (HOME falls back to the password database).
TPathEnvironment ProcessPathEnvironment();

// The shared data folder relative to the folder of the installed binaries.
std::string InstalledDataFolder(const std::string& exeDir);

// Decides the layout for a program folder (with trailing '/'):
//  - ExeDir has bin/: the build tree. Its own layout when bin/ is writable;
//    otherwise read-only data from bin/ and state in the XDG folders.
//  - else the shared data folder exists beside it: installed, XDG folders.
//  - else (a bare folder): its own layout when writable, bin/ made on demand.
TProgramPaths ResolveProgramPaths(const std::string& exeDir, const TPathEnvironment& env);

// Makes the folders the program writes into (history and recovery readable
// by the user alone) and fills an absent pattern or brush library once from
// the starter set. Failures are left for the code that uses the folder.
void PrepareProgramFolders(const TProgramPaths& paths);

} // namespace pixora
