#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QSocketNotifier;

namespace platform {

// The abstract socket name (without its leading 0 byte) of the private lock
// of 'name' for this user and the private folder 'folder'.
QByteArray PrivateLockAddress(const QByteArray& folder, const QString& name);

// One claimed name of the single-instance guard: an exclusive flock() on a
// file of the private folder together with a private lock (a socket name in
// the abstract namespace, counted only when held by this user), so the
// kernel frees both when the holder dies, and a copy without a folder is
// still guarded. Released when destroyed.
class NamedMutex {
  public:
    NamedMutex();
    ~NamedMutex();
    NamedMutex(NamedMutex&& other) noexcept;
    NamedMutex& operator=(NamedMutex&& other) noexcept;

    // Claims 'name' in 'folder' (empty: there is none): 0 when it is now
    // ours, EWOULDBLOCK when another copy of this user holds it, another
    // errno value when neither the file nor the private lock can be had.
    int Claim(const QByteArray& folder, const QString& name);

  private:
    int ClaimFileLock(const QByteArray& folder, const QString& name);
    int ClaimPrivateLock(const QByteArray& folder, const QString& name);
    void Release();

    int file_ = -1;
    int lock_ = -1;
    std::unique_ptr<QSocketNotifier> asking_;
};

}  // namespace platform
