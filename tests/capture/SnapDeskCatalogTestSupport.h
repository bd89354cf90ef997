#pragma once
// A gallery over temporary picture and movie folders, with the message boxes
// answered by a hook that keeps what they said, a recording mail sender, a
// virtual timer service and a private Trash and desktop.
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
    struct Mail {
        std::vector<std::string> paths;
        std::string subject;
        std::string body;
    };
    HRESULT Send(const std::vector<std::string>& paths, const std::string& subject,
                 const std::string& body) override {
        sent.push_back({paths, subject, body});
        return S_OK;
    }
    std::vector<Mail> sent;
};

class SnapDeskCatalogTest : public ::testing::Test {
protected:
    struct Box {
        CCustomMessageBox::Kind kind;
        std::string text;
    };

    void SetUp() override {
        SetTimerService(&timers);
        SetOEMInfo(&oem);
        RegisterToolkitControls();
        env.SetEnv("XDG_DATA_DIRS", env.Path("sysdata"));
        env.SetEnv("XDG_CONFIG_DIRS", env.Path("sysconfig"));
        // The system's MIME database stays in reach; its applications do not.
        QDir().mkpath(QString::fromStdString(env.Path("sysdata")));
        QFile::link(QStringLiteral("/usr/share/mime"), QString::fromStdString(env.Path("sysdata/mime")));
        pictures = env.Path("Pictures/Vidora");
        movies = env.Path("Videos/Vidora");
        QDir().mkpath(QString::fromStdString(pictures));
        QDir().mkpath(QString::fromStdString(movies));
        catalog = std::make_unique<CSnapDeskCatalog>();
        catalog->resize(480, 320);
        catalog->SetFolders(pictures, movies);
        auto sender = std::make_unique<CRecordingMailSender>();
        mail = sender.get();
        catalog->SetMailSender(std::move(sender));
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
        CCustomMessageBox::SetAnswerHook(
            [this, answer](CCustomMessageBox::Kind kind, const std::string& text, MessageBoxIcon) {
                boxes.push_back({kind, text});
                return answer;
            });
    }
    // A capture file, last changed `seconds` after an arbitrary day (pictures are
    // real, if small).
    void Capture(const std::string& folder, const std::string& name, int seconds) {
        const QString path = QString::fromStdString(folder + "/" + name);
        if (name.size() > 4 && QFileInfo(path).suffix().toLower() == "jpg") {
            QImage image(32, 24, QImage::Format_RGB32);
            image.fill(QColor::fromHsv((seconds * 37) % 360, 160, 220));
            ASSERT_TRUE(image.save(path, "JPG"));
        } else {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("not really a movie");
        }
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        const QDateTime when = QDateTime(QDate(2026, 5, 1), QTime(12, 0), Qt::UTC).addSecs(seconds);
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
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
    std::string FolderOf(const std::string& name) const {
        return QFileInfo(QString::fromStdString(name)).suffix().toLower() == "jpg" ? pictures : movies;
    }
    // Selects the first n items in list order.
    void SelectFirst(int n) {
        catalog->ClearSelection();
        for (int i = 0; i < n && i < catalog->ItemCount(); ++i)
            catalog->SelectItem(i, true);
    }

    CTempEnvironment env;
    CVidoraOEMInfo oem;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    std::string pictures;
    std::string movies;
    std::unique_ptr<CSnapDeskCatalog> catalog;
    CRecordingMailSender* mail = nullptr;
    bool serviceThere = true;
    std::vector<Box> boxes;
};
