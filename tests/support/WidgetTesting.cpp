#include "support/WidgetTesting.h"

#include <QTest>

TestHost::TestHost(int width, int height, bool patterned)
    : TCustomControl(nullptr), patterned_(patterned) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    SetBounds(0, 0, width, height);
    setAttribute(Qt::WA_DontShowOnScreen, false);
    show();
    (void)QTest::qWaitForWindowExposed(this);
}

QImage TestHost::Snapshot() {
    ProcessEvents();
    return grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void TestHost::Paint() {
    if (!patterned_) return;
    QImage pattern(Width(), Height(), QImage::Format_RGB32);
    for (int y = 0; y < pattern.height(); ++y)
        for (int x = 0; x < pattern.width(); ++x)
            pattern.setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 5) & 0xFF, (x + y) & 0xFF));
    Canvas().Draw(0, 0, pattern);
}

namespace {

QWindow* WindowOf(QWidget* widget) {
    return widget->window()->windowHandle();
}

}  // namespace

void PressAt(QWidget* window, QPoint pos, Qt::MouseButton button) {
    QTest::mousePress(WindowOf(window), button, {}, pos);
}

void MoveTo(QWidget* window, QPoint pos) {
    QTest::mouseMove(WindowOf(window), pos);
}

void ReleaseAt(QWidget* window, QPoint pos, Qt::MouseButton button) {
    QTest::mouseRelease(WindowOf(window), button, {}, pos);
}

void ClickAt(QWidget* window, QPoint pos, Qt::MouseButton button) {
    PressAt(window, pos, button);
    ReleaseAt(window, pos, button);
}

void DoubleClickAt(QWidget* window, QPoint pos) {
    QTest::mouseDClick(WindowOf(window), Qt::LeftButton, {}, pos);
}
