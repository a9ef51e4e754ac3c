#include "desktop/DropRouter.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QWidget>

#include "app/Main.h"
#include "app/PlayerState.h"
#include "desktop/PlayerActions.h"
#include "desktop/SkippedItems.h"
#include "filectl/FileCtrl.h"
#include "platform/files/FileSystem.h"
#include "skin/TransBtn.h"
#include "toolkit/Application.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Memo.h"

namespace {

// The path's bytes exactly as the file manager sent them.
QByteArray NativePathOf(const QUrl& url) {
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

QString DisplayName(const QByteArray& nativePath) {
    return QFile::decodeName(nativePath.mid(nativePath.lastIndexOf('/') + 1));
}

bool HasLocalFiles(const QMimeData* data) {
    if (!data) return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

}  // namespace

TDropRouter::TDropRouter(TForm1& form) : QObject(&form), form_(form) {
    form_.setAcceptDrops(true);
    qApp->installEventFilter(this);
}

bool TDropRouter::SetupIsOpen() const {
    return form_.fl1->Visible();
}

bool TDropRouter::Accepts() const {
    return SetupIsOpen() || IsClickable(*form_.bsetup);
}

int TDropRouter::Drop(const QList<QUrl>& urls) {
    if (!SetupIsOpen() && !Press(*form_.bsetup)) return 0;
    QList<QByteArray> paths;
    QStringList notLocal;
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            paths.append(NativePathOf(url));
        else
            notLocal.append(url.toDisplayString());
    }
    return AddFiles(paths, notLocal);
}

// Setup, each file as a drop adds it, Accept, then Next: the files become
// the playlist and the first of them plays. The file list's handler run on
// no row leaves the index before the first entry, as a click there would.
int TDropRouter::Open(const QList<QByteArray>& nativePaths) {
    if (const QString refusal = OpenRefusal(); !refusal.isEmpty()) {
        Application->ShowException(refusal);
        return 0;
    }
    // None to add: they are named, and the playlist stays as it is.
    const auto listed = [this](const QByteArray& path) { return RowInFileList(path) >= 0; };
    if (std::none_of(nativePaths.begin(), nativePaths.end(), listed)) return AddFiles(nativePaths);
    if (!SetupIsOpen()) Press(*form_.bsetup);
    const int added = AddFiles(nativePaths);
    form_.fl1->SetItemIndex(-1);
    form_.fl1->OnClick(form_.fl1);
    Press(*form_.ok);
    Perform(form_, PlayerAction::Next);
    return added;
}

// Why files cannot be opened now; empty when they can.
QString TDropRouter::OpenRefusal() const {
    if (QApplication::activeModalWidget())
        return QStringLiteral("The files were not opened: close the open message first.");
    if (form_.Memo1->Visible())
        return QStringLiteral("The files were not opened: close the help first.");
    if (!Accepts()) return QStringLiteral("The files were not opened: the player is busy.");
    return {};
}

int TDropRouter::AddFiles(const QList<QByteArray>& nativePaths, const QStringList& notLocal) {
    form_.fl1->HandleNeeded();
    TSkippedItems skipped;
    int added = 0;
    for (const QString& item : notLocal) skipped.Add(TSkippedItems::Kind::NotLocal, item);
    for (const QByteArray& path : nativePaths) {
        if (AddFromFileList(path))
            ++added;
        else
            skipped.Add(
                TSkippedItems::KindOf(path, form_.fl1->Mask(), PlaylistCount > TPlaylist::kSlots),
                DisplayName(path));
    }
    if (!skipped.IsEmpty()) Application->ShowException(skipped.Message(TPlaylist::kSlots));
    return added;
}

// Shows the file's folder in the setup lists and finds the file there; -1
// where the list does not show it.
int TDropRouter::RowInFileList(const QByteArray& nativePath) {
    const QString drivePath = platform::FileSystem().DrivePath(nativePath);
    const qsizetype slash = drivePath.lastIndexOf(QLatin1Char('\\'));
    if (slash < 0) return -1;
    try {
        form_.dl1->SetDirectory(drivePath.left(slash == 2 ? 3 : slash));
    } catch (const Exception&) {
        return -1;
    }
    form_.fl1->HandleNeeded();
    return form_.fl1->Items().IndexOf(drivePath.mid(slash + 1));
}

// Selects the file in the file list and runs what a click on it runs; a file
// the list does not show is not added.
bool TDropRouter::AddFromFileList(const QByteArray& nativePath) {
    const int row = RowInFileList(nativePath);
    if (row < 0) return false;
    form_.fl1->SetItemIndex(row);
    const int countBefore = PlaylistCount;
    form_.fl1->OnClick(form_.fl1);
    return PlaylistCount != countBefore;
}

bool TDropRouter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != &form_) return false;
    auto& drop = static_cast<QDropEvent&>(*event);
    if (!HasLocalFiles(drop.mimeData()) || !Accepts()) {
        drop.ignore();
        return true;
    }
    drop.acceptProposedAction();
    if (type == QEvent::Drop) Drop(drop.mimeData()->urls());
    return true;
}
