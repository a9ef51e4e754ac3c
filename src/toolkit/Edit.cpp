#include "toolkit/Edit.h"

#include <QLineEdit>

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner), edit_(new QLineEdit(this)) {
    resize(121, 21);
}

QString TEdit::Text() const {
    return edit_->text();
}

void TEdit::SetText(const QString& text) {
    edit_->setText(text);
}

void TEdit::SelectAll() {
    edit_->selectAll();
}

QString TEdit::SelText() const {
    return edit_->selectedText();
}

void TEdit::resizeEvent(QResizeEvent* event) {
    TWinControl::resizeEvent(event);
    edit_->setGeometry(rect());
}
