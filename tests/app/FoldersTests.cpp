#include "app/CVidoraSettings.h"
#include "app/Folders.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/SpecialFolders.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {
bool IsDir(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class FoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        env = std::make_unique<CTempEnvironment>();
        oem = std::make_unique<CVidoraOEMInfo>();
        SetOEMInfo(oem.get());
    }
    void TearDown() override {
        SetOEMInfo(nullptr);
        oem.reset();
        env.reset();
    }
    std::string Setting(const char* name) { return CVidoraSettings::ReadRootString(name, "<absent>"); }

    std::unique_ptr<CTempEnvironment> env;
    std::unique_ptr<CVidoraOEMInfo> oem;
};
} // namespace

TEST(FolderNames, NamesCompareExactly) {
    EXPECT_EQ(ResolveFolderName("CSIDL_APPDATA"), CSIDL_APPDATA);
    EXPECT_EQ(ResolveFolderName("CSIDL_PROGRAM_FILES"), CSIDL_PROGRAM_FILES); // not its longer sibling
    EXPECT_EQ(ResolveFolderName("CSIDL_PROGRAM_FILES_COMMON"), CSIDL_PROGRAM_FILES_COMMON);
    // The last: a special folder, but not one stored values may name.
    for (const char* unknown : {"csidl_appdata", "CSIDL_APPDATA ", "", "CSIDL_MYVIDEO"})
        EXPECT_EQ(ResolveFolderName(unknown), -1) << unknown;
}

TEST(FolderNames, SplittingTheAngleBracketForm) {
    const struct {
        const char* path;
        bool split;
        const char *name, *rest; // untouched when not split
    } cases[] = {
        {"<CSIDL_APPDATA>\\Models", true, "CSIDL_APPDATA", "\\Models"},
        {"<A>", true, "A", ""},
        {"<>x>y", true, "", "x>y"},
        {"", false, "old", "old"},
        {"<A", false, "old", "old"},
        {" <A>x", false, "old", "old"},
        {"A>x", false, "old", "old"},
    };
    for (const auto& c : cases) {
        std::string name = "old", rest = "old";
        EXPECT_EQ(SplitFolderPath(c.path, name, rest), c.split) << c.path;
        EXPECT_EQ(std::pair(name, rest), std::pair(std::string(c.name), std::string(c.rest))) << c.path;
    }
}

TEST(FolderNames, ResolvingUsesSlashesOnDisk) {
    CTempEnvironment env;
    EXPECT_EQ(ResolveFolderPath("<CSIDL_APPDATA>\\Models"), env.Path("data/Models"));
    EXPECT_EQ(ResolveFolderPath("<CSIDL_APPDATA>/Models/"), env.Path("data/Models/"));
    EXPECT_EQ(ResolveFolderPath("<CSIDL_COMMON_APPDATA>\\Brenmoor\\Vidora\\ModelData"),
              env.Path("common/Brenmoor/Vidora/ModelData"));
    EXPECT_EQ(ResolveFolderPath("<CSIDL_APPDATA>"), env.Path("data"));
    EXPECT_EQ(ResolveFolderPath("<CSIDL_SYSTEM>\\\\x"), "/usr/lib/x");
    EXPECT_FALSE(ResolveFolderPath("<CSIDL_NOPE>\\Models").has_value());
    EXPECT_FALSE(ResolveFolderPath("/plain/path").has_value());
}

TEST(EnsureFolder, CreatesMissingParents) {
    CTempEnvironment env;
    std::string deep = env.Path("home/a/b c/d");
    EXPECT_TRUE(EnsureFolder(deep + "/"));
    EXPECT_TRUE(IsDir(deep));
    EXPECT_TRUE(EnsureFolder(deep)); // already there
    EXPECT_TRUE(EnsureFolder(deep + "\\"));
    EXPECT_FALSE(IsDir(deep + "\\"));

    env.WriteFile("home/file", "x");
    EXPECT_FALSE(EnsureFolder(env.Path("home/file")));
    EXPECT_FALSE(EnsureFolder(env.Path("home/file/below")));
    EXPECT_FALSE(EnsureFolder(""));
    EXPECT_TRUE(EnsureFolder("/"));
}

TEST_F(FoldersTest, DefaultsComeFromTheOemInformationOrItsAbsenceAndAreStored) {
    for (bool withOem : {true, false}) {
        env.reset(); // a fresh store each time
        env = std::make_unique<CTempEnvironment>();
        SetOEMInfo(withOem ? oem.get() : nullptr);
        std::string movies;
        std::string photos;
        SetUpFolders(movies, photos);
        EXPECT_EQ(movies, env->Path("home/Videos/Vidora")) << withOem;
        EXPECT_EQ(photos, env->Path("home/Pictures/Vidora")) << withOem;
        EXPECT_TRUE(IsDir(movies));
        EXPECT_TRUE(IsDir(photos));
        EXPECT_EQ(Setting("MovieFolder"), movies);
        EXPECT_EQ(Setting("PhotoFolder"), photos);
        EXPECT_EQ(Setting("VideoEffectsModelDataFolder"), env->Path("common/Brenmoor/Vidora/ModelData"));
    }
}

TEST_F(FoldersTest, WithoutAVideosFolderTheMyVideosNameOfTheResourcesIsUsed) {
    // The videos folder lies below a file, so it cannot exist; the documents folder stands in, with the
    // My-Videos name from the resource library ("Videos").
    env->WriteFile("home/blocker", "a file");
    env->WriteFile("config/user-dirs.dirs", "XDG_VIDEOS_DIR=\"$HOME/blocker/Videos\"\n"
                                            "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
    std::string movies;
    std::string photos;
    SetUpFolders(movies, photos);
    EXPECT_EQ(movies, env->Path("home/Docs/Videos/Vidora"));
    EXPECT_TRUE(IsDir(movies));
}

TEST_F(FoldersTest, StoredFoldersAreUsedAsStoredOnlyWhenAbsolute) {
    // Run from the test's root, so that anything made relative to the current folder would show there.
    char* previous = get_current_dir_name();
    ASSERT_EQ(chdir(env->Root().c_str()), 0);
    // Another tool stored a folder with a trailing blank: an absolute path, kept as it is and created.
    const std::string storedPhotos = env->Path("home/Shots") + " ";
    CVidoraSettings::WriteRootString("PhotoFolder", storedPhotos);
    // A leading blank makes a relative path: refused, the default takes its place.
    CVidoraSettings::WriteRootString("MovieFolder", "  " + env->Path("home/My Movies"));
    std::string movies;
    std::string photos;
    SetUpFolders(movies, photos);
    EXPECT_EQ(photos, storedPhotos);
    EXPECT_TRUE(IsDir(storedPhotos));
    EXPECT_EQ(movies, env->Path("home/Videos/Vidora"));
    EXPECT_EQ(Setting("MovieFolder"), movies);

    for (const std::string& relative :
         std::vector<std::string>{"Movies", "  " + env->Path("x"), "./here", "~/Videos"}) {
        CVidoraSettings::WriteRootString("MovieFolder", relative);
        SetUpFolders(movies, photos);
        EXPECT_EQ(movies, env->Path("home/Videos/Vidora")) << relative;
        EXPECT_FALSE(EnsureFolder(relative)) << relative;
        EXPECT_EQ(CVidoraSettings::SetMovieFolder(relative), E_FAIL) << relative;
        EXPECT_EQ(CVidoraSettings::SetPhotoFolder(relative), E_FAIL) << relative;
        EXPECT_FALSE(IsDir(env->Root() + "/" + relative)) << relative; // nothing below the current folder
    }
    EXPECT_EQ(chdir(previous), 0);
    free(previous);
}

TEST_F(FoldersTest, AHomeWhereNoDefaultCanBeMadeLeavesTheFoldersEmptyAndUnstored) {
    // The user's folders lie below a plain file (a home that cannot take new folders): the placeholders of
    // the defaults cannot be expanded.
    env->WriteFile("home/blocker", "a file");
    env->WriteFile("config/user-dirs.dirs", "XDG_VIDEOS_DIR=\"$HOME/blocker/Videos\"\n"
                                            "XDG_PICTURES_DIR=\"$HOME/blocker/Pictures\"\n"
                                            "XDG_DOCUMENTS_DIR=\"$HOME/blocker/Documents\"\n");
    char* previous = get_current_dir_name();
    ASSERT_EQ(chdir(env->Root().c_str()), 0);
    EXPECT_EQ(oem->GetMovieFolder(), "");
    EXPECT_EQ(oem->GetPhotoFolder(), "");
    std::string movies = "old";
    std::string photos = "old";
    SetUpFolders(movies, photos);
    EXPECT_EQ(movies, "");
    EXPECT_EQ(photos, "");
    EXPECT_EQ(Setting("MovieFolder"), "<absent>");
    EXPECT_EQ(Setting("PhotoFolder"), "<absent>");
    EXPECT_FALSE(IsDir(env->Root() + "/%myvideos%"));
    EXPECT_FALSE(IsDir(env->Root() + "/%mypictures%"));
    EXPECT_EQ(chdir(previous), 0);
    free(previous);
}

TEST_F(FoldersTest, OnlyAKnownAngleBracketModelFolderBecomesARealPath) {
    const std::pair<std::string, std::string> cases[] = {
        {"<CSIDL_APPDATA>\\Models", env->Path("data/Models")},
        {"<CSIDL_UNKNOWN>\\Models", "<CSIDL_UNKNOWN>\\Models"},
        {"<csidl_appdata>\\Models", "<csidl_appdata>\\Models"},
        {"/srv/models", "/srv/models"},
    };
    for (const auto& [value, expected] : cases) {
        CVidoraSettings::SetVideoEffectsModelDataFolder(value);
        std::string movies;
        std::string photos;
        SetUpFolders(movies, photos);
        EXPECT_EQ(Setting("VideoEffectsModelDataFolder"), expected) << value;
    }
}
