#pragma once
// Runs one of the built programs as a child process, as the camera program or a user runs it, and keeps how
// it ended.
#include <QProcess>

#include <string>

struct ProgramRun {
    int exitCode = -1; // -1 when it crashed or did not end within half a minute
    std::string out;
    std::string err;
};

inline ProgramRun
RunProgram(const QString& program, const QStringList& args,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, args);
    ProgramRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}
