// Path placeholders and the default folders of the product.
#include "COEMTestFixture.h"
#include "config/CVidoraOEMInfo.h"

namespace {
class OEMFoldersTest : public COEMTestFixture {
protected:
    void SetUp() override {
        COEMTestFixture::SetUp();
        env.WriteFile("config/user-dirs.dirs",
                      "XDG_PICTURES_DIR=\"$HOME/Bilder\"\nXDG_VIDEOS_DIR=\"$HOME/Filme\"\n"
                      "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    }
    // Makes the videos folder impossible to create: its parent is a file.
    void BreakVideosFolder() {
        env.WriteFile("home/blocker", "a file");
        env.WriteFile("config/user-dirs.dirs", "XDG_VIDEOS_DIR=\"$HOME/blocker/Videos\"\n"
                                               "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    }
};
} // namespace

TEST_F(OEMFoldersTest, CommonPlaceholdersExpandInBothVariants) {
    env.SetEnv("VIDORA_PROGRAM_FILES_DIR", env.Path("programs"));
    COEMInfo common;
    EXPECT_EQ(common.ExpandPath("%CSIDL_COMMON_APPDATA%/Brenmoor|%ProgramFiles%/x"),
              env.Path("common") + "/Brenmoor|" + env.Path("programs") + "/x");
    // Only the product knows the user's folders; names are exact.
    EXPECT_EQ(common.ExpandPath("%mypictures%"), "%mypictures%");
    EXPECT_EQ(common.ExpandPath("%csidl_common_appdata%"), "%csidl_common_appdata%");
    EXPECT_FALSE(IsDir(env.Path("home/Bilder")));

    CVidoraOEMInfo vidora;
    // User folders are made only for the placeholders that occur.
    EXPECT_EQ(vidora.ExpandPath("/plain/path"), "/plain/path");
    EXPECT_FALSE(IsDir(env.Path("home/Bilder")));
    EXPECT_FALSE(IsDir(env.Path("home/Filme")));
    EXPECT_EQ(vidora.ExpandPath("%mypictures%/a;%myvideos%/b;%CSIDL_COMMON_APPDATA%"),
              env.Path("home/Bilder") + "/a;" + env.Path("home/Filme") + "/b;" + env.Path("common"));
    EXPECT_TRUE(IsDir(env.Path("home/Bilder")));
    EXPECT_TRUE(IsDir(env.Path("home/Filme")));
}

TEST_F(OEMFoldersTest, WithoutAVideosFolderTheMyVideosFolderInDocumentsIsUsed) {
    BreakVideosFolder();
    CVidoraOEMInfo info;
    EXPECT_EQ(info.ExpandPath("%myvideos%"), env.Path("home/Dokumente/My Videos"));
    EXPECT_TRUE(IsDir(env.Path("home/Dokumente/My Videos")));
    info.SetMyVideosName("Eigene Videos");
    EXPECT_EQ(info.GetMovieFolder(), env.Path("home/Dokumente/Eigene Videos/Vidora"));
    EXPECT_TRUE(IsDir(env.Path("home/Dokumente/Eigene Videos/Vidora")));
}

TEST_F(OEMFoldersTest, BuiltInCaptureAndModelFoldersAreCreated) {
    CVidoraOEMInfo info;
    EXPECT_EQ(info.GetPhotoFolder(), env.Path("home/Bilder/Vidora"));
    EXPECT_EQ(info.GetMovieFolder(), env.Path("home/Filme/Vidora"));
    EXPECT_EQ(info.GetModelDataFolder(), env.Path("common/Brenmoor/Vidora/ModelData"));
    EXPECT_TRUE(IsDir(env.Path("home/Bilder/Vidora")));
    EXPECT_TRUE(IsDir(env.Path("home/Filme/Vidora")));
    EXPECT_TRUE(IsDir(env.Path("common/Brenmoor/Vidora/ModelData")));
}

TEST_F(OEMFoldersTest, DocumentFoldersAreExpandedAndCreatedWhenTheDocumentLoads) {
    const std::string clips = env.Path("media/reseller/clips");
    WriteOEMBody("<Directories><Pictures>%mypictures%\\Reseller Photos</Pictures>"
                 "<Videos>  " +
                 clips + "/  </Videos></Directories>");
    CVidoraOEMInfo info;
    EXPECT_EQ(info.GetRegistryPath(), "Software\\Brenmoor\\Vidora10"); // any operation loads
    EXPECT_TRUE(IsDir(env.Path("home/Bilder/Reseller Photos")));
    EXPECT_TRUE(IsDir(clips));
    EXPECT_EQ(info.GetPhotoFolder(), env.Path("home/Bilder/Reseller Photos"));
    EXPECT_EQ(info.GetMovieFolder(), clips);
    EXPECT_FALSE(IsDir(env.Path("home/Bilder/Vidora")));
}

TEST_F(OEMFoldersTest, UnusableDocumentFoldersFallBackToTheBuiltInOnes) {
    WriteOEMBody("<Directories><Pictures>Photos</Pictures><Videos>%nowhere%\\Clips</Videos></Directories>");
    CVidoraOEMInfo info;
    EXPECT_EQ(info.GetPhotoFolder(), env.Path("home/Bilder/Vidora"));
    EXPECT_EQ(info.GetMovieFolder(), env.Path("home/Filme/Vidora"));
    EXPECT_FALSE(IsDir("Photos"));
}

TEST_F(OEMFoldersTest, AFolderThatCannotBeCreatedStaysInUse) {
    env.WriteFile("home/blocker", "a file");
    const std::string blocked = env.Path("home/blocker/Photos");
    WriteOEMBody("<Directories><Pictures>" + blocked + "</Pictures></Directories>");
    CVidoraOEMInfo info;
    EXPECT_EQ(info.GetPhotoFolder(), blocked);
}

TEST(PathUtilities, FolderCreation) {
    CTempEnvironment env;
    EXPECT_TRUE(CPathUtilities::CreateFolder(env.Path("a/b/c/")));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(env.Path("a/b/c"))).isDir());
    EXPECT_TRUE(CPathUtilities::CreateFolder(env.Path("a/b/c")));
    EXPECT_TRUE(CPathUtilities::CreateFolder(env.Path("a/b/d\\")));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(env.Path("a/b/d"))).isDir());
    EXPECT_FALSE(CPathUtilities::CreateFolder(""));
    EXPECT_FALSE(CPathUtilities::CreateFolder("relative/folder"));
    env.WriteFile("file", "x");
    EXPECT_FALSE(CPathUtilities::CreateFolder(env.Path("file")));
    EXPECT_FALSE(CPathUtilities::CreateFolder(env.Path("file/sub")));
}
