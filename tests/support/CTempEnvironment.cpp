#include "support/CTempEnvironment.h"

#include "platform/CRegistry.h"
#include "platform/ExecutablePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>

CTempEnvironment::CTempEnvironment() {
    root_ = dir_.path().toStdString();
    for (const char* d : {"config", "runtime", "machine", "common", "data", "home", "tmp", "bin", "cache"})
        QDir().mkpath(QString::fromStdString(Path(d)));
    SetEnv("HOME", Path("home"));
    SetEnv("XDG_CONFIG_HOME", Path("config"));
    SetEnv("XDG_RUNTIME_DIR", Path("runtime"));
    SetEnv("XDG_DATA_HOME", Path("data"));
    SetEnv("XDG_CACHE_HOME", Path("cache"));
    SetEnv("VIDORA_MACHINE_DIR", Path("machine"));
    SetEnv("VIDORA_COMMON_DATA_DIR", Path("common"));
    SetEnv("TMPDIR", Path("tmp"));
    SetExecutableDirForTests(ExeDir());
    CRegistry::ResetInstance();
}

CTempEnvironment::~CTempEnvironment() {
    CRegistry::ResetInstance();
    SetExecutableDirForTests("");
    for (const auto& [name, value] : saved_) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
}

void CTempEnvironment::SetEnv(const char* name, const std::string& value) {
    if (saved_.count(name) == 0) {
        const char* old = std::getenv(name);
        saved_[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
    }
    setenv(name, value.c_str(), 1);
}

void CTempEnvironment::WriteFile(const std::string& relative, const std::string& content) const {
    QString path = QString::fromStdString(Path(relative));
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content.data(), static_cast<qint64>(content.size()));
}

void CTempEnvironment::WriteProgram(const std::string& relative) const {
    WriteFile(relative, "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(QString::fromStdString(Path(relative)),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

std::string TestMediaDir() {
    const char* v = std::getenv("VIDORA_TEST_MEDIA");
    return v != nullptr && *v != '\0' ? std::string(v) : std::string(VIDORA_TEST_MEDIA_DIR);
}

bool TestMediaAvailable() {
    return QFileInfo(QString::fromStdString(TestMediaDir())).isDir();
}
