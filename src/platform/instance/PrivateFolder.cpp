#include "platform/instance/PrivateFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

Q_LOGGING_CATEGORY(lcInstance, "brelmo.platform.instance", QtInfoMsg)

namespace platform {

namespace {

QByteArray CheckedFolder(QString* refusal) {
    QByteArray folder = CandidateFolder();
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST) {
        *refusal = RefusalReason(errno);
        return {};
    }
    const int fd = OpenNoFollow(folder, O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        *refusal = RefusalReason(errno);
        return {};
    }
    struct stat status {};
    QString reason;
    if (::fstat(fd, &status) != 0)
        reason = RefusalReason(errno);
    else if (status.st_uid != ::geteuid())
        reason = QStringLiteral("it belongs to another user");
    else if ((status.st_mode & 077) != 0 && ::fchmod(fd, 0700) != 0)
        reason = RefusalReason(errno);
    ::close(fd);
    *refusal = reason;
    return reason.isEmpty() ? folder : QByteArray();
}

}  // namespace

QByteArray CandidateFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && QFileInfo(QFile::decodeName(runtime)).isDir())
        return runtime + "/brelmo";
    return "/tmp/brelmo-" + QByteArray::number(::geteuid());
}

QByteArray PrivateRuntimeFolder(QString* refusal) {
    refusal->clear();
    return CheckedFolder(refusal);
}

int OpenNoFollow(const QByteArray& path, int flags) {
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC | O_NOFOLLOW, 0600);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int Flock(int fd, int operation) {
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

QString RefusalReason(int error) {
    if (error == ELOOP || error == ENOTDIR)
        return QStringLiteral("it is a symbolic link or not a folder");
    return QString::fromLocal8Bit(std::strerror(error));
}

void SayUsingPrivateLock(const QByteArray& path, const QString& reason) {
    static bool said = false;
    if (said) return;
    said = true;
    qCWarning(lcInstance).noquote()
        << "not using" << QFile::decodeName(path)
        << "for the single-instance guard (" + reason + "); using a private lock instead";
}

}  // namespace platform
