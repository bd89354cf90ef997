#pragma once
// Gives a test its own home: temporary config, runtime, machine, data, picture, video and temp folders, a
// fresh settings store and no OEM folder. Everything is restored and removed at the end of the test.
#include <QTemporaryDir>

#include <map>
#include <optional>
#include <string>

class CTempEnvironment {
public:
    CTempEnvironment();
    ~CTempEnvironment();

    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + "/" + relative; }
    // The folder that stands for the executable's directory (the OEM and Config folders go in it).
    std::string ExeDir() const { return Path("bin"); }
    void WriteFile(const std::string& relative, const std::string& content) const;
    // Writes a program that does nothing, executable by everyone.
    void WriteProgram(const std::string& relative) const;
    // Sets a variable for the rest of the test.
    void SetEnv(const char* name, const std::string& value);

private:
    QTemporaryDir dir_;
    std::string root_;
    std::map<std::string, std::optional<std::string>> saved_;
};

// The folder of the shared sample media (real files made by other software): VIDORA_TEST_MEDIA, else the
// folder beside the source tree.
std::string TestMediaDir();
bool TestMediaAvailable();

// Skips a test that reads the sample media when a checkout has none beside it.
#define VIDORA_REQUIRE_TEST_MEDIA()                                                                          \
    do {                                                                                                     \
        if (!TestMediaAvailable())                                                                           \
            GTEST_SKIP() << "no sample media at " << TestMediaDir();                                         \
    } while (false)
