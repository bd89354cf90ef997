#include "app/CVidoraSettings.h"
#include "app/Folders.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/SpecialFolders.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace {
bool IsDir(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Runs from the test's root, so that anything made relative to the current folder would show there.
class FoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetOEMInfo(oem.get());
        previous = get_current_dir_name();
        ASSERT_EQ(chdir(env.Root().c_str()), 0);
    }
    void TearDown() override {
        SetOEMInfo(nullptr);
        EXPECT_EQ(chdir(previous), 0);
        free(previous);
    }
    std::string Setting(const char* name) { return CVidoraSettings::ReadRootString(name, "<absent>"); }
    std::pair<std::string, std::string> MoviesAndPhotos() {
        std::string movies = "old";
        std::string photos = "old";
        SetUpFolders(movies, photos);
        return {movies, photos};
    }
    // The user's folders below a plain file, so they cannot exist; `documents` names the documents folder.
    void BlockUserFolders(const std::string& documents) {
        env.WriteFile("home/blocker", "a file");
        env.WriteFile("config/user-dirs.dirs", "XDG_VIDEOS_DIR=\"$HOME/blocker/Videos\"\n"
                                               "XDG_PICTURES_DIR=\"$HOME/blocker/Pictures\"\n"
                                               "XDG_DOCUMENTS_DIR=\"$HOME/" +
                                                   documents + "\"\n");
    }
    CTempEnvironment env;
    std::unique_ptr<CVidoraOEMInfo> oem = std::make_unique<CVidoraOEMInfo>();
    char* previous = nullptr;
};
} // namespace

TEST(FolderNames, OnlyAKnownNameInAngleBracketsAtTheStartResolvesWithSlashesOnDisk) {
    CTempEnvironment env;
    EXPECT_EQ(ResolveFolderName("CSIDL_PROGRAM_FILES"), CSIDL_PROGRAM_FILES); // not its longer sibling
    EXPECT_EQ(ResolveFolderName("CSIDL_PROGRAM_FILES_COMMON"), CSIDL_PROGRAM_FILES_COMMON);
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"<CSIDL_APPDATA>\\Models", env.Path("data/Models")},
        {"<CSIDL_APPDATA>/Models/", env.Path("data/Models/")},
        {"<CSIDL_COMMON_APPDATA>\\Brenmoor\\Vidora", env.Path("common/Brenmoor/Vidora")},
        {"<CSIDL_SYSTEM>\\\\x", "/usr/lib/x"},
        // Unknown, not exact, not one stored values may name, not at the start, unclosed, no brackets.
        {"<CSIDL_NOPE>\\Models", std::nullopt},
        {"<csidl_appdata>", std::nullopt},
        {"<CSIDL_MYVIDEO>", std::nullopt},
        {" <CSIDL_APPDATA>x", std::nullopt},
        {"<CSIDL_APPDATA", std::nullopt},
        {"/plain/path", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ResolveFolderPath(text), expected) << text;
}

TEST_F(FoldersTest, DefaultsComeFromTheOemInformationOrItsAbsenceAndAreStored) {
    CVidoraSettings::SetVideoEffectsModelDataFolder("<CSIDL_APPDATA>\\Models"); // made a real path
    for (bool withOem : {true, false}) {
        CTempEnvironment fresh; // a fresh store each time
        SetOEMInfo(withOem ? oem.get() : nullptr);
        const auto [movies, photos] = MoviesAndPhotos();
        EXPECT_EQ(movies, fresh.Path("home/Videos/Vidora")) << withOem;
        EXPECT_EQ(photos, fresh.Path("home/Pictures/Vidora")) << withOem;
        EXPECT_TRUE(IsDir(movies) && IsDir(photos));
        EXPECT_EQ(Setting("MovieFolder"), movies);
        EXPECT_EQ(Setting("PhotoFolder"), photos);
        EXPECT_EQ(Setting("VideoEffectsModelDataFolder"), fresh.Path("common/Brenmoor/Vidora/ModelData"));
    }
    MoviesAndPhotos(); // back in the first store, without OEM information
    EXPECT_EQ(Setting("VideoEffectsModelDataFolder"), env.Path("data/Models"));
    CVidoraSettings::SetVideoEffectsModelDataFolder("<CSIDL_UNKNOWN>\\Models"); // left as it is
    MoviesAndPhotos();
    EXPECT_EQ(Setting("VideoEffectsModelDataFolder"), "<CSIDL_UNKNOWN>\\Models");
}

TEST_F(FoldersTest, WithoutAVideosFolderTheMyVideosNameOfTheResourcesIsUsed) {
    BlockUserFolders("Docs"); // the documents folder stands in, with the resource library's name "Videos"
    const std::string movies = MoviesAndPhotos().first;
    EXPECT_EQ(movies, env.Path("home/Docs/Videos/Vidora"));
    EXPECT_TRUE(IsDir(movies));
}

TEST_F(FoldersTest, StoredFoldersAreUsedAsStoredOnlyWhenAbsolute) {
    // Another tool stored a folder with a trailing blank: an absolute path, kept as it is and created.
    const std::string storedPhotos = env.Path("home/Shots") + " ";
    CVidoraSettings::WriteRootString("PhotoFolder", storedPhotos);
    for (const std::string& relative :
         std::vector<std::string>{"  " + env.Path("home/My Movies"), "Movies", "./here", "~/Videos"}) {
        CVidoraSettings::WriteRootString("MovieFolder", relative);
        const auto [movies, photos] = MoviesAndPhotos();
        EXPECT_EQ(photos, storedPhotos);
        EXPECT_EQ(movies, env.Path("home/Videos/Vidora")) << relative;
        EXPECT_EQ(Setting("MovieFolder"), movies);
        EXPECT_FALSE(EnsureFolder(relative)) << relative;
        EXPECT_EQ(CVidoraSettings::SetMovieFolder(relative), E_FAIL) << relative;
        EXPECT_EQ(CVidoraSettings::SetPhotoFolder(relative), E_FAIL) << relative;
        EXPECT_FALSE(IsDir(env.Root() + "/" + relative)) << relative; // nothing below the current folder
    }
    EXPECT_TRUE(IsDir(storedPhotos));
}

TEST_F(FoldersTest, AHomeWhereNoDefaultCanBeMadeLeavesTheFoldersEmptyAndUnstored) {
    BlockUserFolders("blocker/Documents");
    EXPECT_EQ(MoviesAndPhotos(), std::make_pair(std::string(), std::string()));
    EXPECT_EQ(Setting("MovieFolder"), "<absent>");
    EXPECT_EQ(Setting("PhotoFolder"), "<absent>");
    EXPECT_FALSE(IsDir(env.Root() + "/%myvideos%"));
    EXPECT_FALSE(IsDir(env.Root() + "/%mypictures%"));
}
