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
    void WriteOEM(const std::string& document) { env.WriteFile("bin/OEM/OEM.xml", document); }
    // A complete document: `body` inside the root "Oem".
    void WriteOEMBody(const std::string& body) {
        WriteOEM("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Oem>\n" + body + "\n</Oem>\n");
    }
    void CopyIntoOEM(const std::string& source, const std::string& name) {
        const QString target = QString::fromStdString(env.Path("bin/OEM/" + name));
        env.WriteFile("bin/OEM/" + name, "");
        QFile::remove(target);
        ASSERT_TRUE(QFile::copy(QString::fromStdString(source), target)) << source;
    }
    std::string ReadFile(const std::string& path) {
        QFile f(QString::fromStdString(path));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<unreadable>";
    }
    static bool IsDir(const std::string& path) { return QFileInfo(QString::fromStdString(path)).isDir(); }
    CTempEnvironment env;
};
