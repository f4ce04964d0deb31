#include "window/qt/accessible_field.h"

#include <QFontMetrics>
#include <QLineEdit>

AccessibleField::AccessibleField(QLineEdit* field)
    : QAccessibleWidget(field, QAccessible::EditableText) {}

QLineEdit* AccessibleField::field() const {
    return static_cast<QLineEdit*>(widget());
}

void* AccessibleField::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface) {
        return static_cast<QAccessibleEditableTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QString AccessibleField::text(QAccessible::Text type) const {
    return type == QAccessible::Value ? field()->text() : QAccessibleWidget::text(type);
}

QAccessible::State AccessibleField::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = field()->isReadOnly();
    state.editable = !state.readOnly;
    state.selectableText = true;
    return state;
}

void AccessibleField::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !field()->hasSelectedText()) return;
    *startOffset = field()->selectionStart();
    *endOffset = field()->selectionEnd();
}

int AccessibleField::selectionCount() const {
    return field()->hasSelectedText() ? 1 : 0;
}

void AccessibleField::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void AccessibleField::removeSelection(int selectionIndex) {
    if (selectionIndex == 0) field()->deselect();
}

void AccessibleField::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0) field()->setSelection(startOffset, endOffset - startOffset);
}

int AccessibleField::cursorPosition() const {
    return field()->cursorPosition();
}

void AccessibleField::setCursorPosition(int position) {
    field()->setCursorPosition(position);
}

QString AccessibleField::text(int startOffset, int endOffset) const {
    if (startOffset > endOffset) return {};
    return field()->text().mid(startOffset, endOffset - startOffset);
}

int AccessibleField::characterCount() const {
    return static_cast<int>(field()->text().size());
}

QRect AccessibleField::characterRect(int offset) const {
    // Where the text starts as QLineEdit lays it out: its frame, its margins and two pixels more.
    const QRect inside = field()->contentsRect().marginsRemoved(field()->textMargins());
    const QFontMetrics metrics(field()->font());
    const QString text = field()->displayText();
    const QRect character(inside.left() + 2 + metrics.horizontalAdvance(text.left(offset)),
                          inside.top(), metrics.horizontalAdvance(text.mid(offset, 1)),
                          inside.height());
    return character.translated(field()->mapToGlobal(QPoint(0, 0)));
}

int AccessibleField::offsetAtPoint(const QPoint& point) const {
    return field()->cursorPositionAt(field()->mapFromGlobal(point));
}

void AccessibleField::scrollToSubstring(int startIndex, int) {
    field()->setCursorPosition(startIndex);
}

QString AccessibleField::attributes(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void AccessibleField::deleteText(int startOffset, int endOffset) {
    field()->setText(field()->text().remove(startOffset, endOffset - startOffset));
}

void AccessibleField::insertText(int offset, const QString& text) {
    field()->setText(field()->text().insert(offset, text));
}

void AccessibleField::replaceText(int startOffset, int endOffset, const QString& text) {
    field()->setText(field()->text().replace(startOffset, endOffset - startOffset, text));
}
