#pragma once
// Effect models written into a temporary model folder, the settings store of a temporary environment and a
// fake clock.
#include "app/CVidoraSettings.h"
#include "platform/IClock.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <string>

class EffectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock.SetTickCount(100000);
        SetClock(&clock);
        models = env.Path("models");
        QDir().mkpath(QString::fromStdString(models));
        CVidoraSettings::SetVideoEffectsModelDataFolder(models);
    }
    void TearDown() override { SetClock(nullptr); }

    // A model folder "<name>" with its description; `body` goes inside the root element. Returns the
    // description's path.
    std::string WriteModel(const std::string& name, const std::string& rootAttributes,
                           const std::string& body) {
        const std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<EffectModel " + rootAttributes +
                                ">" + body + "</EffectModel>\n";
        env.WriteFile("models/" + name + "/" + name + ".xml", xml);
        return models + "/" + name + "/" + name + ".xml";
    }
    // A complete model: a real thumbnail and a package the engine can read.
    std::string WriteFullModel(const std::string& name, const std::string& type, const std::string& id) {
        QImage thumb(32, 32, QImage::Format_RGB32);
        thumb.fill(Qt::red);
        QDir().mkpath(QString::fromStdString(models + "/" + name));
        thumb.save(QString::fromStdString(models + "/" + name + "/thumbnail.png"));
        env.WriteFile("models/" + name + "/" + name + ".vfx", "{\"format\": 1, \"filter\": \"sepia\"}\n");
        return WriteModel(name, "Type=\"" + type + "\" Id=\"" + id + "\"",
                          "<ImageFile>thumbnail.png</ImageFile><PackageFile>" + name +
                              ".vfx</PackageFile><Name><String LanguageId=\"1033\" StringValue=\"" + name +
                              " model\"/></Name>");
    }

    CTempEnvironment env;
    CFakeClock clock;
    std::string models;
};
