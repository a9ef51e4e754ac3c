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
#include "platform/instance/NamedMutex.h"
#include "platform/instance/PrivateFolder.h"

namespace platform {

// The single-instance guard and the window registry in the private folder.
// Mutexes are NamedMutex claims there; a window is three files:
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
    std::map<HANDLE, NamedMutex> mutexes_;
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
