#pragma once
// A test with its own executable folder, settings store and user folders, where an OEM document can be
// placed beside the fake executable. The user-interface language starts as English and is restored.
#include "platform/CResourceLibrary.h"
#include "platform/CSystemInfo.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>

class COEMTestFixture : public ::testing::Test {
protected:
    void SetUp() override { SetUiLanguage(0x0409); }
    void TearDown() override {
        SetUiLanguage(0x0409);
        CSystemInfo::Instance().ResetOverrides();
    }

    // Places "OEM/OEM.xml" beside the executable.
    void WriteOEM(const std::string& document) { env.WriteFile("bin/OEM/OEM.xml", document); }
    // A complete document: `body` inside the root "Oem".
    void WriteOEMBody(const std::string& body) {
        WriteOEM("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Oem>\n" + body + "\n</Oem>\n");
    }
    // Places a copy of a file at "OEM/<name>".
    void CopyIntoOEM(const std::string& source, const std::string& name) {
        std::string target = env.Path("bin/OEM/" + name);
        env.WriteFile("bin/OEM/.keep", "");
        QFile::remove(QString::fromStdString(target));
        ASSERT_TRUE(QFile::copy(QString::fromStdString(source), QString::fromStdString(target))) << source;
    }
    std::string ReadFile(const std::string& path) {
        QFile f(QString::fromStdString(path));
        if (!f.open(QIODevice::ReadOnly))
            return "<unreadable>";
        return f.readAll().toStdString();
    }
    static bool IsDir(const std::string& path) { return QFileInfo(QString::fromStdString(path)).isDir(); }

    CTempEnvironment env;
};
