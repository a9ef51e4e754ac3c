#pragma once

#include <QChar>
#include <QString>
#include <functional>

#include "platform/files/FileSystem.h"

class TCanvas;

// Path helpers the file picker controls share. Paths are drive-letter paths
// ("E:\MEDIA\CLIPS"); every change of folder goes through the file system
// service, so it changes the process's current directory.

// path + "\" + name, without doubling a trailing "\".
QString JoinPath(const QString& path, const QString& name);
// The number of "\" in the path.
int PathLevel(const QString& path);

// The process's current directory.
QString GetCurrentDir();
// Changes the current directory, or raises EInOutError with the system's text.
void ChDir(const QString& path);
// True for an existing file that is not a folder.
bool FileExists(const QString& path);

// Runs 'visit' for every entry a find for 'pattern' with the search
// attributes 'attr' returns (nothing when the folder cannot be read).
void ForEachEntry(const QString& pattern, unsigned attr,
                  const std::function<void(const platform::TSearchRec&)>& visit);

struct TPathParts {
    QChar Drive;
    QString DirPart;
    QString FilePart;
};

// Splits typed or picked text ("E:\MEDIA\a.wav", "[sub]", "*.avi", "sub")
// into drive, folder part and file part, resolving folder names against the
// current directory. The current directory is restored afterwards, also when
// a change of folder fails and raises.
TPathParts SplitEntry(const QString& text);

// Shortens a path to fit 'width' pixels on the canvas, dropping leading
// folders ("E:\...\CLIPS\NEW") and then the drive ("...\NEW").
QString ShortenPath(const QString& path, const TCanvas& canvas, int width);

// "[label]" of a drive's volume, in the letter's case; "[]" when unlabelled
// or unreadable.
QString VolumeText(QChar letter);
// The network name of a drive in the letter's case, or VolumeText when the
// drive is not connected to one.
QString RemoteText(QChar letter);
