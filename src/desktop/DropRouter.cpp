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

bool TDropRouter::SetupIsOpen() const { return form_.fl1->Visible(); }

bool TDropRouter::Accepts() const { return SetupIsOpen() || IsClickable(*form_.bsetup); }

int TDropRouter::Drop(const QList<QUrl>& urls) {
    if (!SetupIsOpen() && !Press(*form_.bsetup)) return 0;
    form_.fl1->HandleNeeded();
    TSkippedItems skipped;
    int added = 0;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            skipped.Add(TSkippedItems::Kind::NotLocal, url.toDisplayString());
            continue;
        }
        const QByteArray path = NativePathOf(url);
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

// Shows the file's folder in the setup lists, selects the file there and
// runs what a click on it runs; a file the list does not show is not added.
bool TDropRouter::AddFromFileList(const QByteArray& nativePath) {
    const QString drivePath = platform::FileSystem().DrivePath(nativePath);
    const qsizetype slash = drivePath.lastIndexOf(QLatin1Char('\\'));
    if (slash < 0) return false;
    try {
        form_.dl1->SetDirectory(drivePath.left(slash == 2 ? 3 : slash));
    } catch (const Exception&) {
        return false;
    }
    const int row = form_.fl1->Items().IndexOf(drivePath.mid(slash + 1));
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
