#include "toolkit/HourGlass.h"

#include <QApplication>

THourGlass::~THourGlass() {
    if (shown_) QApplication::restoreOverrideCursor();
}

void THourGlass::Show() {
    if (shown_) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    shown_ = true;
}
