#include "filectl/FilePaths.h"

#include "platform/files/FileSystem.h"
#include "toolkit/Canvas.h"
#include "toolkit/Exceptions.h"

namespace {

const QChar kSeparator = QLatin1Char('\\');

// Puts the current directory back when it goes out of scope, whatever happened.
class CurrentDirRestorer {
  public:
    explicit CurrentDirRestorer(QString saved) : saved_(std::move(saved)) {}
    ~CurrentDirRestorer() { platform::FileSystem().SetCurrentDirectory(saved_); }
    CurrentDirRestorer(const CurrentDirRestorer&) = delete;
    CurrentDirRestorer& operator=(const CurrentDirRestorer&) = delete;

  private:
    QString saved_;
};

// Switches the critical-error box off for a volume query, and back after it.
class CriticalErrorsOff {
  public:
    CriticalErrorsOff()
        : old_(platform::FileSystem().SetErrorMode(platform::SEM_FAILCRITICALERRORS)) {}
    ~CriticalErrorsOff() { platform::FileSystem().SetErrorMode(old_); }
    CriticalErrorsOff(const CriticalErrorsOff&) = delete;
    CriticalErrorsOff& operator=(const CriticalErrorsOff&) = delete;

  private:
    unsigned old_;
};

// Closes a search when it goes out of scope.
class SearchCloser {
  public:
    explicit SearchCloser(platform::FindHandle handle) : handle_(handle) {}
    ~SearchCloser() {
        if (handle_ != platform::INVALID_HANDLE_VALUE) platform::FileSystem().FindClose(handle_);
    }
    SearchCloser(const SearchCloser&) = delete;
    SearchCloser& operator=(const SearchCloser&) = delete;

  private:
    platform::FindHandle handle_;
};

bool IsWild(const QString& text) {
    return text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?'));
}

QString InLetterCase(const QString& text, QChar letter) {
    return letter < QLatin1Char('a') ? text.toUpper() : text.toLower();
}

// Drops the first folder of a folder part: "\a\b\" -> "\...\b\".
void CutFirstDirectory(QString& folder) {
    if (folder == QString(kSeparator)) {
        folder.clear();
        return;
    }
    const bool root = folder.startsWith(kSeparator);
    if (root) folder.remove(0, 1);
    if (folder.startsWith(QLatin1String("...\\"))) folder.remove(0, 4);
    const qsizetype separator = folder.indexOf(kSeparator);
    folder = separator >= 0 ? QStringLiteral("...\\") + folder.mid(separator + 1) : QString();
    if (root) folder.prepend(kSeparator);
}

}  // namespace

QString JoinPath(const QString& path, const QString& name) {
    return path.endsWith(kSeparator) ? path + name : path + kSeparator + name;
}

int PathLevel(const QString& path) {
    return static_cast<int>(path.count(kSeparator));
}

QString GetCurrentDir() {
    return platform::FileSystem().GetCurrentDirectory();
}

void ChDir(const QString& path) {
    platform::IFileSystem& fileSystem = platform::FileSystem();
    if (fileSystem.SetCurrentDirectory(path)) return;
    const int code = fileSystem.GetLastError();
    throw EInOutError(platform::SysErrorMessage(code), code);
}

bool FileExists(const QString& path) {
    const int attr = platform::FileSystem().GetFileAttributes(path);
    return attr >= 0 && !(attr & platform::faDirectory);
}

void ForEachEntry(const QString& pattern, unsigned attr,
                  const std::function<void(const platform::TSearchRec&)>& visit) {
    platform::IFileSystem& fileSystem = platform::FileSystem();
    platform::TSearchRec found;
    const platform::FindHandle handle = fileSystem.FindFirstFile(pattern, attr, found);
    if (handle == platform::INVALID_HANDLE_VALUE) return;
    const SearchCloser closer(handle);
    do {
        visit(found);
    } while (fileSystem.FindNextFile(handle, found));
}

TPathParts SplitEntry(const QString& text) {
    const QString saved = GetCurrentDir();
    const CurrentDirRestorer restorer(saved);
    TPathParts parts;
    parts.Drive = saved.isEmpty() ? QChar() : saved[0];
    QString dirPart = text;
    if (text.size() >= 2 && text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']'))) {
        dirPart = text.mid(1, text.size() - 2);
    } else if (text.size() >= 2 && text[1] == QLatin1Char(':')) {
        parts.Drive = text[0];
        dirPart = text.mid(2);
    }
    if (!saved.isEmpty() && parts.Drive.toLower() != saved[0].toLower())
        ChDir(QString(parts.Drive) + QLatin1Char(':'));

    parts.FilePart = dirPart.mid(dirPart.lastIndexOf(kSeparator) + 1);
    if (dirPart == kSeparator + parts.FilePart)
        parts.DirPart = kSeparator;
    else if (dirPart.size() > parts.FilePart.size())
        parts.DirPart = dirPart.left(dirPart.size() - parts.FilePart.size() - 1);
    else
        parts.DirPart = GetCurrentDir().mid(2);
    if (!parts.DirPart.isEmpty()) ChDir(parts.DirPart);

    if (!parts.FilePart.isEmpty() && !IsWild(parts.FilePart) && !FileExists(parts.FilePart)) {
        // Not a file, so it names a folder.
        ChDir(parts.FilePart);
        parts.DirPart = parts.DirPart == kSeparator ? kSeparator + parts.FilePart
                                                    : parts.DirPart + kSeparator + parts.FilePart;
        parts.FilePart.clear();
    }
    return parts;
}

QString ShortenPath(const QString& path, const TCanvas& canvas, int width) {
    QString drive;
    QString rest = path;
    if (path.size() >= 2 && path[1] == QLatin1Char(':')) {
        drive = path.left(2);
        rest = path.mid(2);
    }
    const qsizetype separator = rest.lastIndexOf(kSeparator);
    QString folder = rest.left(separator + 1);
    const QString name = rest.mid(separator + 1);
    while ((!folder.isEmpty() || !drive.isEmpty()) &&
           canvas.TextWidth(drive + folder + name) > width) {
        if (folder == QLatin1String("\\...\\")) {
            drive.clear();
            folder = QStringLiteral("...\\");
        } else if (folder.isEmpty()) {
            drive.clear();
        } else {
            CutFirstDirectory(folder);
        }
    }
    return drive + folder + name;
}

QString VolumeText(QChar letter) {
    QString name;
    {
        const CriticalErrorsOff quiet;
        const QString root = QString(letter) + QStringLiteral(":\\");
        if (!platform::FileSystem().GetVolumeInformation(root, &name, nullptr)) name.clear();
    }
    return QLatin1Char('[') + InLetterCase(name, letter) + QLatin1Char(']');
}

QString RemoteText(QChar letter) {
    QString remote;
    if (!platform::FileSystem().WNetGetConnection(QString(letter) + QLatin1Char(':'), remote))
        return VolumeText(letter);
    return InLetterCase(remote, letter);
}
