#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/instance/Instance.h"
#include "platform/instance/LineChannel.h"

class QSocketNotifier;

namespace platform {

// The per-user private folder that holds the names: $XDG_RUNTIME_DIR/brelmo,
// else /tmp/brelmo-<uid>, created 0700. Empty, with the reason in 'refusal',
// when it is a symbolic link, not a folder, owned by someone else or cannot
// be made; it is never followed then.
QByteArray PrivateRuntimeFolder(QString* refusal);

// The abstract socket name (without its leading 0 byte) of the private lock
// of 'name' for this user and the private folder 'folder'.
QByteArray PrivateLockAddress(const QByteArray& folder, const QString& name);

// Mutexes are exclusive flock()s on files of the private folder together
// with a private lock (a socket name in the abstract namespace, counted only
// when held by this user), so the kernel frees them when the holder dies,
// and a copy without a folder is still guarded. A window is three files there:
// "<id>.lock", locked by its process for as long as the process lives;
// "<id>.entry", its stacking order and text, replaced atomically; and
// "<id>.sock", the local socket on which the process takes requests.
class LinuxInstance : public IInstance {
  public:
    // Uses the private runtime folder; without one, other copies' windows
    // cannot be found and it says so once in the log.
    LinuxInstance();
    // Uses 'folder' (already checked); empty means no folder.
    explicit LinuxInstance(QByteArray folder);
    ~LinuxInstance() override;
    LinuxInstance(const LinuxInstance&) = delete;
    LinuxInstance& operator=(const LinuxInstance&) = delete;

    HANDLE CreateMutex(const QString& name) override;
    bool CloseHandle(HANDLE handle) override;
    unsigned GetLastError() const override { return lastError_; }

    WindowId RegisterApplicationWindow(const QString& text) override;
    void SetMainForm(QWidget* form) override;

    WindowId FindWindow(const QString& text) override;
    bool SetWindowText(WindowId window, const QString& text) override;
    bool IsIconic(WindowId window) override;
    bool ShowWindow(WindowId window, int command) override;
    bool BringWindowToTop(WindowId window) override;
    bool OpenFiles(WindowId window, const QList<QByteArray>& nativePaths) override;

    const QByteArray& Folder() const { return folder_; }

  private:
    struct Mutex {
        int file = -1;
        int lock = -1;
        std::unique_ptr<QSocketNotifier> asking;
    };
    int ClaimFileLock(Mutex& mutex, const QString& name) const;
    int ClaimPrivateLock(Mutex& mutex, const QString& name) const;
    static void Release(Mutex& mutex);

    QByteArray WindowFile(const QString& id, const char* suffix) const;
    bool IsAlive(const QString& id) const;
    void RemoveWindowFiles(const QString& id) const;
    // Takes the next place on top of the stacking order; 'whileLocked' runs
    // while no other copy can take one.
    quint64 NextOrder(const std::function<void()>& whileLocked) const;
    void WriteOwnEntry();
    bool StartServer();
    bool AnswerRequest(const QByteArray& line, const LinePeer& peer);
    WindowId HandleOf(const QString& id);
    // What one copy asks of another's window, as the first letter of the
    // request's line; its argument follows after a blank.
    enum class Ask : char {
        SetText = 'T',     // "T text"
        IsIconic = 'I',    // "I"
        Show = 'S',        // "S <command> <activation token>"
        BringToTop = 'B',  // "B <activation token>"
        HandFile = 'O',    // "O path" for each file handed over, then "O" to open them
    };
    // Carries out a request on the own window.
    bool Act(Ask ask, const QByteArray& argument);
    bool TakeHandedFile(const QByteArray& nativePath);
    bool Request(WindowId window, Ask ask, const QByteArray& argument);

    QByteArray folder_;
    unsigned lastError_ = ERROR_SUCCESS;
    std::map<HANDLE, Mutex> mutexes_;
    HANDLE nextHandle_ = 1;

    QString ownId_;
    QString ownText_;
    quint64 ownOrder_ = 0;
    int ownLock_ = -1;
    QPointer<LineServer> server_;
    QPointer<QWidget> mainForm_;
    QList<QByteArray> handedFiles_;
    std::vector<QString> windows_;  // WindowId n is windows_[n - 1]
};

}  // namespace platform
