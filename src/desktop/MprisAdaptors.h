#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

class TMprisService;

// org.mpris.MediaPlayer2: the player as an application.
class TMprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(bool CanRaise READ Always)
    Q_PROPERTY(bool CanQuit READ Always)
    Q_PROPERTY(bool HasTrackList READ Never)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)

  public:
    explicit TMprisRootAdaptor(TMprisService& service);

    QString Identity() const;
    QString DesktopEntry() const;
    bool Always() const { return true; }
    bool Never() const { return false; }
    QStringList SupportedMimeTypes() const;
    QStringList SupportedUriSchemes() const;

  public Q_SLOTS:
    void Raise();
    void Quit();

  private:
    TMprisService& service_;
};

// org.mpris.MediaPlayer2.Player: the playback buttons, what plays, the volume.
class TMprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ One)
    Q_PROPERTY(double MinimumRate READ One)
    Q_PROPERTY(double MaximumRate READ One)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPause)
    Q_PROPERTY(bool CanSeek READ Never)
    Q_PROPERTY(bool CanControl READ Always)

  public:
    explicit TMprisPlayerAdaptor(TMprisService& service);

    QString PlaybackStatus() const;
    double One() const { return 1.0; }
    QVariantMap Metadata() const;
    double Volume() const;
    void SetVolume(double volume);
    qlonglong Position() const;
    bool CanGoNext() const;
    bool CanGoPrevious() const;
    bool CanPlay() const;
    bool CanPause() const;
    bool Never() const { return false; }
    bool Always() const { return true; }

  public Q_SLOTS:
    void Next();
    void Previous();
    void Pause();
    void PlayPause();
    void Stop();
    void Play();
    // The player cannot seek: these do nothing.
    void Seek(qlonglong offset);
    void SetPosition(const QDBusObjectPath& track, qlonglong position);
    // Opens a local file as the file manager's "Open with" does; any other
    // URI is answered NotSupported.
    void OpenUri(const QString& uri);

  Q_SIGNALS:
    void Seeked(qlonglong position);

  private:
    TMprisService& service_;
};
