// Generates the player's art from the main window's layout constants:
// the 256-colour skin (also at device-pixel ratios 2 and 3, which load
// faster than they paint), the black picture of the screen and the
// application icon at every size. Run it after changing the art or the
// layout and commit what it writes (the build compiles the committed files
// in; the icons are installed).
#include "IconPainter.h"
#include "Palette.h"
#include "art/SkinPainter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

namespace {

bool CannotWrite(const QString& path, QTextStream& out) {
    out << "skinart: cannot write " << path << "\n";
    return false;
}

bool Save(const QImage& picture, const QString& path, QTextStream& out) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!picture.save(path, "PNG")) return CannotWrite(path, out);
    out << "skinart: " << path << ": " << picture.width() << "x" << picture.height() << ", "
        << (picture.colorCount() > 0 ? QString::number(picture.colorCount()) + " palette colours"
                                     : QStringLiteral("true colour"))
        << ", " << QFileInfo(path).size() << " bytes\n";
    return true;
}

bool SaveIcons(const QDir& icons, QTextStream& out) {
    for (const int size : kIconSizes)
        if (!Save(PaintIcon(size), icons.filePath(QStringLiteral("brelmo-%1.png").arg(size)), out))
            return false;
    const QString svgPath = icons.filePath(QStringLiteral("brelmo.svg"));
    QFile svg(svgPath);
    const QByteArray document = IconSvg();
    if (!svg.open(QIODevice::WriteOnly) || svg.write(document) != document.size())
        return CannotWrite(svgPath, out);
    out << "skinart: " << svgPath << ": scalable, " << document.size() << " bytes\n";
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // Painting needs fonts but no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTextStream out(stdout);
    const QStringList args = application.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == QLatin1String("--overlay"))) {
        out << "usage: skinart <resources folder> [--overlay <check picture.png>]\n"
               "writes qrc/skin/skin.png (and skin@2x.png, skin@3x.png), qrc/skin/black.png,\n"
               "icons/brelmo-<size>.png and icons/brelmo.svg below the resources folder;\n"
               "--overlay also writes the skin\n"
               "with the layout outlined.\n";
        return 2;
    }
    const QDir resources(args[1]);

    QElapsedTimer clock;
    clock.start();
    const QImage indexed = ToIndexed8(PaintSkin());
    bool saved =
        Save(indexed, resources.filePath(QStringLiteral("qrc/skin/skin.png")), out) &&
        Save(ToIndexed8(PaintSkin(2)), resources.filePath(QStringLiteral("qrc/skin/skin@2x.png")),
             out) &&
        Save(ToIndexed8(PaintSkin(3)), resources.filePath(QStringLiteral("qrc/skin/skin@3x.png")),
             out) &&
        Save(PaintBlackPicture(), resources.filePath(QStringLiteral("qrc/skin/black.png")), out) &&
        SaveIcons(QDir(resources.filePath(QStringLiteral("icons"))), out);
    if (saved && args.size() == 4) saved = Save(PaintLayoutOverlay(indexed), args[3], out);
    out << "skinart: " << clock.elapsed() << " ms\n";
    return saved ? 0 : 1;
}
