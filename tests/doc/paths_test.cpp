// Where the program's files go: the build tree keeps them under the program
// folder, an installed program reads its data from the shared folder and
// writes into the XDG folders.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "doc/paths.h"
#include "doc/workspace.h"

namespace pixora::testing {
namespace {

namespace fs = std::filesystem;

struct PathsTest : ::testing::Test {
    std::string root;
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "pixora-paths-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        root = tmpl + "/";
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(root + "prefix/bin/bin", fs::perms::owner_all, ec);
        fs::remove_all(root, ec);
    }
    std::string Make(const std::string& rel) {
        fs::create_directories(root + rel);
        return root + rel;
    }
    static void Touch(const std::string& path, const std::string& text = "x") {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << text;
    }
    // Every variable set, each to its own folder under the scratch root.
    TPathEnvironment Env() {
        TPathEnvironment env;
        env.Home = root + "home";
        env.ConfigHome = root + "xdg/config";
        env.DataHome = root + "xdg/data";
        env.StateHome = root + "xdg/state";
        env.CacheHome = root + "xdg/cache";
        env.RuntimeDir = Make("xdg/run");
        return env;
    }
    // An installed program: PREFIX/bin/ with its data folder beside it.
    std::string Installed() {
        const std::string exe = Make("prefix/bin/");
        fs::create_directories(InstalledDataFolder(exe) + "res");
        return exe;
    }
};

TEST_F(PathsTest, BuildTreeKeepsEveryFileUnderTheProgramFolder) {
    const std::string exe = Make("out/");
    Make("out/bin");
    const TProgramPaths p = ResolveProgramPaths(exe, Env());
    EXPECT_EQ(p.Layout, TPathLayout::ProgramFolder);
    EXPECT_EQ(p.Resources, exe + "bin/res/");
    EXPECT_EQ(p.HelpFile(), exe + "bin/res/help.html");
    EXPECT_EQ(p.History, exe + "bin/hstry/");
    EXPECT_EQ(p.PreferencesFile(), exe + "bin/save/pref.INI");
    EXPECT_EQ(p.RecentFilesFile(), exe + "bin/save/files.txt");
    EXPECT_EQ(p.Patterns, exe + "bin/ptrns/");
    EXPECT_EQ(p.Brushes, exe + "bin/brshs/");
    EXPECT_EQ(p.Recovery, exe + "bin/save/recovery/");
    // The program folder wins over a data folder that happens to lie beside it.
    fs::create_directories(InstalledDataFolder(exe));
    EXPECT_EQ(ResolveProgramPaths(exe, Env()).Layout, TPathLayout::ProgramFolder);
    // A writable folder without bin/ (yet) is used the same way.
    const std::string bare = Make("other/tree/bare"); // no trailing slash
    const TProgramPaths b = ResolveProgramPaths(bare, Env());
    EXPECT_EQ(b.Layout, TPathLayout::ProgramFolder);
    EXPECT_EQ(b.History, bare + "/bin/hstry/");
}

TEST_F(PathsTest, InstalledProgramWritesIntoTheXdgFolders) {
    const std::string exe = Installed();
    const TPathEnvironment env = Env();
    const TProgramPaths p = ResolveProgramPaths(exe, env);
    const std::string data = root + "prefix/share/pixora/";
    EXPECT_EQ(InstalledDataFolder(exe), data);
    EXPECT_EQ(p.Layout, TPathLayout::Desktop);
    EXPECT_EQ(p.Resources, data + "res/");
    EXPECT_EQ(p.StarterPatterns, data + "ptrns/");
    EXPECT_EQ(p.StarterBrushes, data + "brshs/");
    // Snapshots go to the cache folder, never to the runtime RAM disk.
    EXPECT_EQ(p.History, env.CacheHome + "/pixora/hstry/");
    EXPECT_EQ(p.PreferencesFile(), env.ConfigHome + "/pixora/pref.INI");
    EXPECT_EQ(p.RecentFilesFile(), env.ConfigHome + "/pixora/files.txt");
    EXPECT_EQ(p.Patterns, env.DataHome + "/pixora/ptrns/");
    EXPECT_EQ(p.Brushes, env.DataHome + "/pixora/brshs/");
    EXPECT_EQ(p.Recovery, env.StateHome + "/pixora/recovery/");
}

TEST_F(PathsTest, UnsetOrRelativeVariablesFallBackToTheHomeFolder) {
    const std::string exe = Installed();
    TPathEnvironment env;
    env.Home = root + "home/";
    env.ConfigHome = "relative/config"; // not absolute: ignored
    env.RuntimeDir = root + "no-such-folder";
    const TProgramPaths p = ResolveProgramPaths(exe, env);
    EXPECT_EQ(p.Settings, root + "home/.config/pixora/");
    EXPECT_EQ(p.Patterns, root + "home/.local/share/pixora/ptrns/");
    EXPECT_EQ(p.Recovery, root + "home/.local/state/pixora/recovery/");
    EXPECT_EQ(p.History, root + "home/.cache/pixora/hstry/");
    env.CacheHome = "cache"; // relative
    env.RuntimeDir = Make("run");
    EXPECT_EQ(ResolveProgramPaths(exe, env).History, root + "home/.cache/pixora/hstry/");
    env.CacheHome = root + "cache";
    EXPECT_EQ(ResolveProgramPaths(exe, env).History, root + "cache/pixora/hstry/");
}

TEST_F(PathsTest, ReadOnlyBuildTreeReadsItsDataButWritesElsewhere) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    const std::string exe = Make("prefix/bin/");
    Make("prefix/bin/bin/res");
    fs::permissions(exe + "bin", fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
    const TProgramPaths p = ResolveProgramPaths(exe, Env());
    EXPECT_EQ(p.Layout, TPathLayout::Desktop);
    EXPECT_EQ(p.Resources, exe + "bin/res/");
    EXPECT_EQ(p.Settings, root + "xdg/config/pixora/");
}

TEST_F(PathsTest, PreparingMakesPrivateSnapshotFoldersAndSeedsTheLibrariesOnce) {
    const std::string exe = Installed();
    const std::string data = InstalledDataFolder(exe);
    Touch(data + "ptrns/1.jpg", "one");
    Touch(data + "ptrns/2.jpg", "two");
    Touch(data + "ptrns/.keep");
    Touch(data + "brshs/1.jpg", "brush");
    const TProgramPaths p = ResolveProgramPaths(exe, Env());
    PrepareProgramFolders(p);

    ASSERT_TRUE(fs::is_directory(p.History));
    ASSERT_TRUE(fs::is_directory(p.Settings));
    EXPECT_EQ(fs::status(p.History).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(root + "xdg/cache/pixora").permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(root + "xdg/run/pixora"));
    EXPECT_TRUE(fs::exists(p.Patterns + "1.jpg"));
    EXPECT_TRUE(fs::exists(p.Patterns + "2.jpg"));
    EXPECT_FALSE(fs::exists(p.Patterns + ".keep"));
    EXPECT_TRUE(fs::exists(p.Brushes + "1.jpg"));

    // The library is the user's from now on: what was deleted stays deleted,
    // what was changed stays changed.
    fs::remove(p.Patterns + "1.jpg");
    Touch(p.Patterns + "2.jpg", "mine");
    PrepareProgramFolders(p);
    EXPECT_FALSE(fs::exists(p.Patterns + "1.jpg"));
    std::ifstream kept(p.Patterns + "2.jpg");
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "mine");
    // Nothing is written beside the installed program.
    EXPECT_FALSE(fs::exists(exe + "bin"));
}

TEST_F(PathsTest, PreparingTheBuildTreeMakesItsFoldersInPlace) {
    const std::string exe = Make("out/");
    Make("out/bin");
    Touch(exe + "bin/ptrns/1.jpg");
    const TProgramPaths p = ResolveProgramPaths(exe, Env());
    PrepareProgramFolders(p);
    EXPECT_TRUE(fs::is_directory(exe + "bin/hstry"));
    EXPECT_TRUE(fs::is_directory(exe + "bin/save"));
    EXPECT_TRUE(fs::exists(exe + "bin/ptrns/1.jpg"));
    EXPECT_FALSE(fs::exists(root + "xdg/config"));
    EXPECT_FALSE(fs::exists(root + "xdg/run/pixora"));
}

TEST_F(PathsTest, WorkspaceDecidesItsPathsFromTheProgramFolderItHasNow) {
    Workspace ws;
    ws.SysData.ExeDir = Make("a/");
    Make("a/bin");
    EXPECT_EQ(ws.Paths().History, root + "a/bin/hstry/");
    ws.SysData.ExeDir = Make("b/");
    EXPECT_EQ(ws.Paths().Settings, root + "b/bin/save/");
    TProgramPaths fixed;
    fixed.Settings = root + "elsewhere/";
    ws.UsePaths(fixed);
    EXPECT_EQ(ws.Paths().RecentFilesFile(), root + "elsewhere/files.txt");
}

} // namespace
} // namespace pixora::testing
