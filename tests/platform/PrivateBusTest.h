#pragma once
// A private message bus standing for both the session and the system bus, and a worker thread from which
// the services the test plays answer. Skips the test where the machine has no dbus-daemon.
#include "support/CTempEnvironment.h"

#include <QProcess>
#include <QThread>
#include <QtDBus/QDBusConnection>

#include <gtest/gtest.h>

class PrivateBusTest : public ::testing::Test {
protected:
    static inline const QString kServices = QStringLiteral("fake-services");

    void SetUp() override {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!daemon_.waitForStarted(5000) || !daemon_.waitForReadyRead(5000))
            GTEST_SKIP() << "no dbus-daemon on this machine";
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        env_.SetEnv("DBUS_SYSTEM_BUS_ADDRESS", address_.toStdString());
        env_.SetEnv("DBUS_SESSION_BUS_ADDRESS", address_.toStdString());
        worker_.start();
    }
    void TearDown() override {
        if (!address_.isEmpty())
            QDBusConnection::disconnectFromBus(kServices);
        worker_.quit();
        worker_.wait();
        if (daemon_.state() != QProcess::NotRunning) {
            daemon_.kill();
            daemon_.waitForFinished(5000);
        }
    }
    // The played services' own connection.
    QDBusConnection Services() {
        QDBusConnection bus = QDBusConnection::connectToBus(address_, kServices);
        EXPECT_TRUE(bus.isConnected());
        return bus;
    }
    // Owns `service` on the bus and answers at `path` from `object` (living on the worker thread).
    static void Serve(QDBusConnection& bus, const QString& service, const QString& path, QObject* object) {
        EXPECT_TRUE(bus.registerService(service)) << service.toStdString();
        EXPECT_TRUE(bus.registerObject(path, object, QDBusConnection::ExportAllSlots)) << path.toStdString();
    }

    CTempEnvironment env_;
    QProcess daemon_;
    QString address_;
    QThread worker_;
};
