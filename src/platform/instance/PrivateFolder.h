#pragma once

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcInstance)

namespace platform {

// The per-user private folder that holds the names: $XDG_RUNTIME_DIR/brelmo,
// else /tmp/brelmo-<uid>, created 0700. Empty, with the reason in 'refusal',
// when it is a symbolic link, not a folder, owned by someone else or cannot
// be made; it is never followed then.
QByteArray PrivateRuntimeFolder(QString* refusal);
// Where that folder is looked for, whether it can be trusted or not.
QByteArray CandidateFolder();

// open() and flock() of the folder's files: never through a symbolic link,
// again when a signal interrupts them.
int OpenNoFollow(const QByteArray& path, int flags);
int Flock(int fd, int operation);

// Why a folder or file was not used, for the log.
QString RefusalReason(int error);
// Says once in the log that 'path' is not used for the guard, and why.
void SayUsingPrivateLock(const QByteArray& path, const QString& reason);

}  // namespace platform
