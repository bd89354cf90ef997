#pragma once
// A gallery over temporary picture and movie folders, with the message boxes answered by a hook that keeps
// what they said, a recording mail sender, a virtual timer service and a private Trash and desktop.
#include "capture/CNoMediaPlayerDlg.h"
#include "capture/CPicturePrinter.h"
#include "capture/CSnapDeskCatalog.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CDesktopFileOpener.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CCustomMessageBoxYESNO.h"
#include "ui/CDialogBase.h"
#include "ui/CResourceMenu.h"
#include "ui/ControlsRegistration.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <memory>
#include <string>
#include <vector>

class CRecordingMailSender : public IMailSender {
public:
    HRESULT Send(const std::vector<std::string>& paths, const std::string& subject,
                 const std::string& body) override {
        sent.push_back(paths);
        texts = subject + "|" + body;
        return S_OK;
    }
    std::vector<std::vector<std::string>> sent;
    std::string texts; // the last subject and body, joined by "|"
};

class SnapDeskCatalogTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetTimerService(&timers);
        SetOEMInfo(&oem);
        RegisterToolkitControls();
        env.SetEnv("XDG_DATA_DIRS", env.Path("sysdata"));
        env.SetEnv("XDG_CONFIG_DIRS", env.Path("sysconfig"));
        // The system's MIME database stays in reach; its applications do not.
        QDir().mkpath(QString::fromStdString(env.Path("sysdata")));
        QFile::link(QStringLiteral("/usr/share/mime"), QString::fromStdString(env.Path("sysdata/mime")));
        for (const std::string* folder : {&pictures, &movies})
            QDir().mkpath(QString::fromStdString(*folder));
        MakeCatalog();
    }
    // A fresh gallery, mailing through the recording sender unless told otherwise.
    void MakeCatalog(bool recordMail = true) {
        catalog = std::make_unique<CSnapDeskCatalog>();
        catalog->resize(480, 320);
        catalog->SetFolders(pictures, movies);
        if (recordMail) {
            auto sender = std::make_unique<CRecordingMailSender>();
            mail = sender.get();
            catalog->SetMailSender(std::move(sender));
        }
        catalog->SetStartupServiceCheck([this] { return serviceThere; });
    }
    void TearDown() override {
        catalog.reset();
        CCustomMessageBox::SetAnswerHook(nullptr);
        CPicturePrinter::SetPrinterChooserHook(nullptr);
        CDesktopFileOpener::SetDesktopHook({});
        CSnapDeskCatalog::SetContextMenuHook(nullptr);
        SetTimerService(nullptr);
        SetOEMInfo(nullptr);
        UnregisterToolkitControls();
    }

    // Every box is answered with `answer` and remembered.
    void Answer(intptr_t answer) {
        boxes.clear();
        CCustomMessageBox::SetAnswerHook(
            [this, answer](CCustomMessageBox::Kind kind, const std::string& text, MessageBoxIcon) {
                boxes.push_back((kind == CCustomMessageBox::Kind::YesNo ? "? " : "! ") + text);
                return answer;
            });
    }
    // The boxes as Answer() remembers them: a question or an information.
    static std::string Question(uint32_t id) { return "? " + CDialogBase::LoadString(id); }
    static std::string Info(uint32_t id) { return "! " + CDialogBase::LoadString(id); }
    // A capture last changed `seconds` after an arbitrary day, in its own folder unless `folder` is given: a
    // copy of `from` when given, else a real if small picture or a stand-in movie.
    void Capture(const std::string& name, int seconds, std::string folder = {},
                 const std::string& from = {}) {
        const QString path = QString::fromStdString((folder.empty() ? FolderOf(name) : folder) + "/" + name);
        QFile f(path);
        if (!from.empty()) {
            ASSERT_TRUE(QFile::copy(QString::fromStdString(from), path)) << from;
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        } else if (QFileInfo(path).suffix().toLower() == "jpg") {
            QImage image(32, 24, QImage::Format_RGB32);
            image.fill(QColor::fromHsv((seconds * 37) % 360, 160, 220));
            ASSERT_TRUE(image.save(path, "JPG"));
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        } else {
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            f.write("not really a movie");
            f.flush();
        }
        ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2026, 5, 1), QTime(12, 0), Qt::UTC).addSecs(seconds),
                                  QFileDevice::FileModificationTime));
    }
    // The file names in list order.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < catalog->ItemCount(); ++i)
            names.push_back(
                QFileInfo(QString::fromStdString(catalog->Item(i)->path)).fileName().toStdString());
        return names;
    }
    void Select(const std::vector<std::string>& names) {
        catalog->ClearSelection();
        for (const std::string& name : names) {
            const int index = catalog->FindItem(FolderOf(name) + "/" + name);
            ASSERT_GE(index, 0) << name;
            catalog->SelectItem(index, true);
        }
    }
    // Selects the first n items in list order.
    void SelectFirst(int n) {
        catalog->ClearSelection();
        for (int i = 0; i < n && i < catalog->ItemCount(); ++i)
            catalog->SelectItem(i, true);
    }
    // Pictures and everything else (any case) live in different folders.
    std::string FolderOf(const std::string& name) const {
        return QFileInfo(QString::fromStdString(name)).suffix().toLower() == "jpg" ? pictures : movies;
    }

    CTempEnvironment env;
    CVidoraOEMInfo oem;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    std::string pictures = env.Path("Pictures/Vidora");
    std::string movies = env.Path("Videos/Vidora");
    std::unique_ptr<CSnapDeskCatalog> catalog;
    CRecordingMailSender* mail = nullptr;
    bool serviceThere = true;
    std::vector<std::string> boxes;
};
