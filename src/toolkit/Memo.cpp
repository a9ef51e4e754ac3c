#include "toolkit/Memo.h"

#include <QMouseEvent>
#include <QTextBlock>
#include <QTextEdit>
#include <QVBoxLayout>

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner), edit_(new QTextEdit(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit_);
    edit_->setReadOnly(true);
    edit_->setLineWrapMode(QTextEdit::NoWrap);
    edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit_->viewport()->installEventFilter(this);
    edit_->viewport()->setCursor(Qt::ArrowCursor);
    SetColor(clWindow);
    FontChanged();
}

void TMemo::SetLines(const QStringList& lines) {
    lines_ = lines;
    filled_ = false;
    if (isVisible()) Fill();
}

void TMemo::SetCentredLines(int first, int count) {
    centredFirst_ = first;
    centredCount_ = count;
    filled_ = false;
    if (isVisible()) Fill();
}

void TMemo::showEvent(QShowEvent* event) {
    // Laying out the text waits until it is first shown: a hidden memo
    // costs nothing at start-up.
    if (!filled_) Fill();
    TWinControl::showEvent(event);
}

void TMemo::Fill() {
    filled_ = true;
    edit_->setPlainText(lines_.join(QLatin1Char('\n')));
    QTextBlock block = edit_->document()->firstBlock();
    for (int i = 0; block.isValid(); ++i, block = block.next()) {
        if (i < centredFirst_ || i >= centredFirst_ + centredCount_) continue;
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        format.setAlignment(Qt::AlignHCenter);
        cursor.setBlockFormat(format);
    }
    // Unwrapped text is laid out on a page as wide as its widest line until
    // the edit has seen aligned text; laying it out once more gives the
    // centred lines the whole width.
    edit_->setLineWrapMode(QTextEdit::WidgetWidth);
    edit_->setLineWrapMode(QTextEdit::NoWrap);
}

bool TMemo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Click();
    }
    return TWinControl::eventFilter(watched, event);
}

void TMemo::FontChanged() {
    edit_->setFont(Font().ToQFont());
    QPalette pal = edit_->palette();
    pal.setColor(QPalette::Text, ColorToQColor(Font().Color));
    edit_->setPalette(pal);
}

void TMemo::ColorChanged() {
    TWinControl::ColorChanged();
    QPalette pal = edit_->palette();
    pal.setColor(QPalette::Base, ColorToQColor(Color()));
    edit_->setPalette(pal);
}
