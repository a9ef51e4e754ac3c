#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

class TForm1;

// Files dropped on the player's window go where the setup view would put
// them: the setup view opens as Setup opens it (unless it is open already),
// and each dropped file that the file list shows is added as a click in the
// file list adds it, in the order dropped. Everything else, and what the
// playlist has no room for, is named in one message and skipped. The user
// then takes OK or Cancel as usual; nothing plays before.
//
// Files opened from the desktop (the command line, the file manager, the
// media controls, a second copy) take the same route and go on: Accept, then
// Next, so they become the playlist and the first plays. Where the window
// cannot take them (a message box or the help is open) one message says so
// and nothing changes; where none of them can be added, they are named and
// the playlist stays as it was.
class TDropRouter : public QObject {
    Q_OBJECT

  public:
    // Watches every drop onto 'form' from now on; owned by the form.
    explicit TDropRouter(TForm1& form);

    // Whether files dropped now would be taken.
    bool Accepts() const;
    // Takes the local files among 'urls'; returns how many were added.
    int Drop(const QList<QUrl>& urls);
    // Makes the files the playlist and plays the first; returns how many were added.
    int Open(const QList<QByteArray>& nativePaths);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool SetupIsOpen() const;
    QString OpenRefusal() const;
    // Adds the files; what is not added, and 'notLocal' (addresses of no
    // local file), is named in one message.
    int AddFiles(const QList<QByteArray>& nativePaths, const QStringList& notLocal = {});
    int RowInFileList(const QByteArray& nativePath);
    bool AddFromFileList(const QByteArray& nativePath);

    TForm1& form_;
};
