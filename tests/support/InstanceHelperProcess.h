#pragma once

#include <QProcess>
#include <QStringList>

// A running tests/helpers/instance_helper (see its usage there). Only the
// suites that build the helper (BRELMO_INSTANCE_HELPER) include this.
class InstanceHelperProcess {
  public:
    explicit InstanceHelperProcess(const QStringList& arguments) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral(BRELMO_INSTANCE_HELPER), arguments);
    }
    ~InstanceHelperProcess() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.closeWriteChannel();
        if (!process_.waitForFinished(5000)) Kill();
    }
    InstanceHelperProcess(const InstanceHelperProcess&) = delete;
    InstanceHelperProcess& operator=(const InstanceHelperProcess&) = delete;

    // The next line the helper prints; empty if it prints none in time.
    QByteArray ReadLine() {
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(20000)) return {};
        return process_.readLine().trimmed();
    }
    // Lets the helper end by itself (closing its input); its exit code, or -1.
    int Finish() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(20000)) return -1;
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }
    // Ends it as a crash would: no clean-up of its own runs.
    void Kill() {
        process_.kill();
        process_.waitForFinished(5000);
    }

  private:
    QProcess process_;
};
