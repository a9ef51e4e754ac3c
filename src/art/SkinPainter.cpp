#include "art/SkinPainter.h"

#include "art/Drawing.h"
#include "art/Layout.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <initializer_list>
#include <span>

namespace {

using namespace art;

// Tones of the casing and its parts.
const QColor kCasingLow{204, 208, 215};
const QColor kDeckTop{78, 83, 94};
const QColor kDeckLow{50, 54, 63};
const QColor kDeckFloor{36, 39, 46};
const QColor kDeckShadow{18, 20, 25};
const QColor kDeckLight{118, 124, 136};
const QColor kDeckInk{196, 201, 210};
const QColor kBezel{214, 218, 224};
const QColor kPanelFloor{188, 193, 202};
const QColor kEtch{108, 114, 125};
const QColor kGlassTop{26, 33, 48};
const QColor kAcceptInk{22, 108, 44};
const QColor kCancelInk{150, 28, 28};

// The skin is shown one row below the window's top edge (where image1
// sits), while the layout is in window coordinates.
QRect Art(const QRect& inWindow) {
    return inWindow.translated(-layout::kImage1.Left, -layout::kImage1.Top);
}
QRect Art(const TRect& inWindow) {
    return Art(inWindow.ToQRect());
}

QRect Union(std::initializer_list<TRect> rects) {
    QRect all;
    for (const TRect& r : rects) all |= r.ToQRect();
    return all;
}

struct Button {
    TRect place;
    const char* word;
    QColor ink;
};

const Button kColumnButtons[] = {
    {layout::kBstop, "Stop", tone::kInk}, {layout::kBnext, "Next", tone::kInk},
    {layout::kBprev, "Back", tone::kInk}, {layout::kBreplay, "Re-do", tone::kInk},
    {layout::kBsave, "Save", tone::kInk}, {layout::kBload, "Load", tone::kInk},
    {layout::kBhelp, "Help", tone::kInk}, {layout::kBsetup, "Setup", tone::kInk},
    {layout::kBlankLeft, "", tone::kInk}, {layout::kBlankRight, "", tone::kInk},
};

constexpr char kExitWord[] = "Exit";

const Button kRowButtons[] = {
    {layout::kRemove, "Remove", tone::kInk},
    {layout::kCancel, "Cancel", kCancelInk},
    {layout::kOk, "Accept", kAcceptInk},
};

// Places of the casing's parts, in window coordinates, derived from the
// controls they house.
QRect ColumnPanel() {
    QRect buttons;
    for (const Button& b : kColumnButtons) buttons |= b.place.ToQRect();
    return buttons.adjusted(-10, -10, 10, 10);
}

QRect RowPanel() {
    return Union({layout::kRemove, layout::kCancel, layout::kOk}).adjusted(-10, -10, 10, 10);
}

// The volume slider's slot runs off the bottom edge of the casing.
QRect VolumeSlot() {
    return layout::kTrackBar1.ToQRect().adjusted(-7, -7, 7, layout::kWindowHeight);
}

// Where the upper casing (screen and buttons) meets the lower deck.
int SeamY() {
    return (layout::kScreen.Bottom + RowPanel().top()) / 2;
}

void PaintScrew(QPainter& p, QPointF centre) {
    QRadialGradient head(centre - QPointF(1.5, 1.5), 5);
    head.setColorAt(0.0, tone::kHighlight);
    head.setColorAt(1.0, QColor(150, 156, 166));
    p.setPen(QPen(tone::kShadow, 1));
    p.setBrush(head);
    p.drawEllipse(centre, 4.0, 4.0);
    p.setPen(QPen(QColor(96, 102, 112), 1.2));
    p.drawLine(centre + QPointF(-2.2, 2.2), centre + QPointF(2.2, -2.2));
}

void PaintCasing(QPainter& p) {
    const int seam = Art(QRect(0, SeamY(), 1, 1)).top();
    const int width = layout::kWindowWidth;
    const int height = layout::kWindowHeight;

    QLinearGradient upper(0, 0, 0, seam);
    upper.setColorAt(0.0, kCasingTop);
    upper.setColorAt(1.0, kCasingLow);
    p.fillRect(QRect(0, 0, width, seam), upper);
    QLinearGradient deck(0, seam, 0, height);
    deck.setColorAt(0.0, kDeckTop);
    deck.setColorAt(1.0, kDeckLow);
    p.fillRect(QRect(0, seam, width, height - seam), deck);
    p.fillRect(QRect(0, seam - 1, width, 1), tone::kShadow);
    p.fillRect(QRect(0, seam, width, 1), tone::kHighlight);

    Bevel(p, QRect(0, 0, width, height), tone::kHighlight, tone::kOutline);
    Bevel(p, QRect(1, 1, width - 2, height - 2), tone::kLight, tone::kShadow);

    p.setRenderHint(QPainter::Antialiasing);
    for (QPointF at : {QPointF(10.5, 10.5), QPointF(width - 10.5, 10.5),
                       QPointF(10.5, height - 11.5), QPointF(width - 10.5, height - 11.5)})
        PaintScrew(p, at);
}

// Slots of a loudspeaker grille cut into the bezel between xFrom and xTo.
void PaintGrille(QPainter& p, int xFrom, int xTo, int yFrom, int yTo) {
    for (int y = yFrom; y + 3 <= yTo; y += 9) {
        const QRectF slot(xFrom, y, xTo - xFrom, 3);
        QPainterPath path;
        path.addRoundedRect(slot, 1.5, 1.5);
        p.fillPath(path.translated(0, 1), tone::kHighlight);
        p.fillPath(path, QColor(92, 98, 110));
    }
}

// The glass sits in a recessed frame, one pixel deep along the top so that
// the captions just above it keep a plain background.
void PaintGlass(QPainter& p, const QRect& glass) {
    const QColor rim(90, 96, 106);
    p.fillRect(glass.adjusted(-2, -1, 2, 2), tone::kHighlight);
    p.fillRect(QRect(glass.left() - 2, glass.top() - 1, glass.width() + 3, 1), rim);
    p.fillRect(QRect(glass.left() - 2, glass.top() - 1, 2, glass.height() + 2), rim);
    // Plain bands from top to bottom keep the picture area calm and cost
    // few palette entries; a flat reflection lies across its upper left.
    QLinearGradient depth(glass.topLeft(), glass.bottomLeft());
    depth.setColorAt(0.0, kGlassTop);
    depth.setColorAt(1.0, kGlassBottom);
    p.fillRect(glass, depth);
    QPainterPath glare;
    glare.moveTo(glass.topLeft());
    glare.lineTo(glass.left() + glass.width() * 0.62, glass.top());
    glare.lineTo(glass.left(), glass.top() + glass.height() * 0.55);
    glare.closeSubpath();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(glare, QColor(255, 255, 255, 12));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void PaintScreen(QPainter& p) {
    const QRect screen = Art(layout::kScreen);
    const QRect glass = Art(layout::kImage2);
    p.setRenderHint(QPainter::Antialiasing);
    Plinth(p, screen, 16, kBezel);
    PaintGrille(p, screen.left() + 12, glass.left() - 14, glass.top() + 24, glass.bottom() - 20);
    PaintGrille(p, glass.right() + 15, screen.right() - 11, glass.top() + 24, glass.bottom() - 20);
    p.setRenderHint(QPainter::Antialiasing, false);
    PaintGlass(p, glass);

    const QRect chin(glass.left(), glass.bottom() + 3, glass.width(),
                     screen.bottom() - glass.bottom() - 6);
    p.setRenderHint(QPainter::Antialiasing);
    Lettering(p, chin, QStringLiteral("brelmo"), Font(13), kEtch, tone::kHighlight);
    const QPointF lamp(screen.right() - 26.5, chin.center().y() + 0.5);
    QRadialGradient lit(lamp - QPointF(1, 1), 4);
    lit.setColorAt(0.0, QColor(190, 255, 200));
    lit.setColorAt(1.0, QColor(30, 160, 70));
    p.setPen(QPen(QColor(40, 70, 50), 1));
    p.setBrush(lit);
    p.drawEllipse(lamp, 3.0, 3.0);
}

void PaintButtons(QPainter& p, std::span<const Button> buttons, int pixelSize) {
    for (const Button& b : buttons) {
        const QRect face = Art(b.place);
        p.setRenderHint(QPainter::Antialiasing, false);
        ButtonFace(p, face);
        p.setRenderHint(QPainter::Antialiasing);
        Lettering(p, face.adjusted(0, 0, -1, -1), QString::fromLatin1(b.word), Font(pixelSize),
                  b.ink, tone::kHighlight);
    }
}

void PaintColumn(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    Well(p, Art(ColumnPanel()), 8, kPanelFloor, tone::kShadow, tone::kHighlight);
    PaintButtons(p, kColumnButtons, 11);
}

void PaintExitButton(QPainter& p) {
    const QRectF face(Art(layout::kBexit));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QLinearGradient ring(face.topLeft(), face.bottomRight());
    ring.setColorAt(0.0, kDeckShadow);
    ring.setColorAt(1.0, kDeckLight);
    p.setBrush(ring);
    p.drawEllipse(face.adjusted(-6, -6, 6, 6));
    p.setBrush(kDeckFloor);
    p.drawEllipse(face.adjusted(-4, -4, 4, 4));
    p.setBrush(kDeckShadow);
    p.drawEllipse(face.adjusted(-1, -1, 1, 1));

    p.setBrush(RedDome(face));
    p.drawEllipse(face);
    Lettering(p, face.toRect().adjusted(0, 0, -1, -1), QLatin1String(kExitWord), Font(11),
              QColor(255, 244, 240), QColor(70, 0, 0));
}

void PaintRow(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    Well(p, Art(RowPanel()), 8, kDeckFloor, kDeckShadow, kDeckLight);
    PaintButtons(p, kRowButtons, 12);
    PaintExitButton(p);
}

void PaintVolumeSlot(QPainter& p) {
    const QRect slot = Art(VolumeSlot());
    p.setRenderHint(QPainter::Antialiasing);
    Well(p, slot, 6, kDeckFloor, kDeckShadow, kDeckLight);
    const QRect caption(slot.left() - 10, slot.top() - 15, slot.width() + 20, 12);
    Lettering(p, caption, QStringLiteral("VOLUME"), Font(9), kDeckInk, kDeckShadow);
}

// The maker's mark on the open part of the deck, between Exit and the slot.
void PaintWordmark(QPainter& p) {
    const QRect exitWell = Art(layout::kBexit).adjusted(-6, -6, 6, 6);
    const QRect slot = Art(VolumeSlot());
    const QRect room(exitWell.right() + 1, exitWell.top(), slot.left() - exitWell.right() - 1,
                     exitWell.height());
    p.setRenderHint(QPainter::Antialiasing);
    QRect name = room.adjusted(0, 0, 0, -10);
    Lettering(p, name, QStringLiteral("brelmo"), Font(26), kDeckInk, kDeckShadow);
    QRect motto = room.adjusted(0, room.height() - 12, 0, 6);
    Lettering(p, motto, QStringLiteral("playlist player"), Font(10, false), kDeckInk, kDeckShadow);
}

QSize ScaledSize(int width, int height, qreal scale) {
    return (QSizeF(width, height) * scale).toSize();
}

}  // namespace

QImage PaintSkin(qreal scale) {
    QImage skin(ScaledSize(layout::kWindowWidth, layout::kWindowHeight, scale),
                QImage::Format_RGB32);
    // The painter works in logical pixels on a picture of this ratio, so
    // edges, curves and lettering are drawn at the device's resolution.
    skin.setDevicePixelRatio(scale);
    QPainter p(&skin);
    PaintCasing(p);
    PaintScreen(p);
    PaintColumn(p);
    PaintRow(p);
    PaintVolumeSlot(p);
    PaintWordmark(p);
    p.end();
    return skin;
}

namespace {

// A caption as the window's recessed labels draw it: unsmoothed text with a
// white copy one pixel below right.
void SampleCaption(QPainter& p, const TRect& place, const QString& text, int pixelSize,
                   const QColor& ink, int alignment) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    const QRect r = Art(place);
    p.setPen(Qt::white);
    p.drawText(r.translated(1, 1), alignment | Qt::AlignTop, text);
    p.setPen(ink);
    p.drawText(r, alignment | Qt::AlignTop, text);
}

}  // namespace

QImage PaintLayoutOverlay(const QImage& skin) {
    QImage overlay = skin.convertToFormat(QImage::Format_RGB32);
    QPainter p(&overlay);
    const QColor maroon(128, 0, 0);
    SampleCaption(p, layout::kLd1, QStringLiteral("/home/someone/Music"), 11, Qt::black,
                  Qt::AlignLeft);
    SampleCaption(p, layout::kLb2, QStringLiteral("Filelist Box"), 11, Qt::black, Qt::AlignHCenter);
    SampleCaption(p, layout::kLb3, QStringLiteral("Files selected"), 11, Qt::black,
                  Qt::AlignHCenter);
    SampleCaption(p, layout::kLsave, QStringLiteral("not saved"), 9, maroon, Qt::AlignHCenter);
    SampleCaption(p, layout::kLload, QStringLiteral("not loaded"), 9, maroon, Qt::AlignHCenter);
    p.setPen(QColor(255, 0, 255));
    p.setBrush(Qt::NoBrush);
    for (const TRect& r :
         {layout::kBexit,   layout::kBstop,     layout::kBprev,     layout::kBnext,
          layout::kBreplay, layout::kBsetup,    layout::kOk,        layout::kCancel,
          layout::kBsave,   layout::kBload,     layout::kBhelp,     layout::kRemove,
          layout::kLb2,     layout::kLb3,       layout::kLd1,       layout::kImage2,
          layout::kLsave,   layout::kLload,     layout::kTrackBar1, layout::kFl1,
          layout::kDl1,     layout::kDc1,       layout::kFc1,       layout::kLb1,
          layout::kScreen,  layout::kBlankLeft, layout::kBlankRight})
        p.drawRect(Art(r).adjusted(0, 0, -1, -1));
    p.end();
    return overlay;
}

QImage PaintBlackPicture(qreal scale) {
    QImage black(ScaledSize(400, 300, scale), QImage::Format_Mono);
    black.setDevicePixelRatio(scale);
    black.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    black.fill(0);
    return black;
}

QString PaintedWord(const TRect& place) {
    if (place == layout::kBexit) return QLatin1String(kExitWord);
    for (const Button& b : kColumnButtons)
        if (b.place == place) return QString::fromLatin1(b.word);
    for (const Button& b : kRowButtons)
        if (b.place == place) return QString::fromLatin1(b.word);
    return {};
}
