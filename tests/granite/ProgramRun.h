#pragma once
// Runs one of the built programs as a child process and keeps how it ended.
#include <QProcess>

#include <string>

struct ProgramRun {
    int exitCode = -1; // -1 when it crashed or did not end within half a minute
    std::string out, err;
};

inline ProgramRun
RunProgram(const QString& program, const QStringList& args,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, args);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
}
