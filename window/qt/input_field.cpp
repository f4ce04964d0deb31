#include "window/qt/input_field.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "window/converter_logic.h"
#include "window/html_text.h"

InputField::InputField(const QString& text, QWidget* parent)
    : QLineEdit(text, parent), lastText_(text) {
    // Connected first, so that whoever listens after it hears only the single-line text.
    connect(this, &QLineEdit::textChanged, this, &InputField::KeepFirstLineOfChange);
}

namespace {

QString FirstLine(const QString& text) {
    const std::string utf8 = text.toStdString();
    const std::string_view first = window::FirstLine(utf8);
    return QString::fromUtf8(first.data(), static_cast<qsizetype>(first.size()));
}

// The text a paste or a drop offers: its plain text, or the text of its HTML where a web page or
// a mail program offers only that.
QString OfferedText(const QMimeData* data) {
    if (!data) return {};
    if (data->hasText() || !data->hasHtml()) return data->text();
    return QString::fromStdString(window::HtmlText(data->html().toStdString()));
}

}  // namespace

void InputField::PasteFirstLine(QClipboard::Mode mode) {
    const QString pasted = OfferedText(QGuiApplication::clipboard()->mimeData(mode));
    if (isReadOnly() || (pasted.isEmpty() && !hasSelectedText())) return;
    // A step of its own for undo, as QLineEdit's paste makes it: a move of the caret ends the
    // typing before it, and the caret and the selection are put back as they were.
    if (!text().isEmpty()) {
        const int start = selectionStart(), length = int(selectedText().size());
        const int caret = cursorPosition();
        setCursorPosition(caret == 0 ? 1 : caret - 1);
        if (length > 0) {
            setSelection(start, length);
        } else {
            setCursorPosition(caret);
        }
    }
    insert(FirstLine(pasted));
}

void InputField::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        // Ctrl+Shift+Insert pastes X11's selection, as in QLineEdit.
        const bool selection = event->key() == Qt::Key_Insert &&
                               event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier);
        PasteFirstLine(selection ? QClipboard::Selection : QClipboard::Clipboard);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void InputField::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    // Found by its text, as QLineEdit writes it in the user's language.
    for (QAction* paste : menu->actions()) {
        if (!paste->text().startsWith(QLineEdit::tr("&Paste"))) continue;
        disconnect(paste, &QAction::triggered, this, nullptr);
        connect(paste, &QAction::triggered, this,
                [this] { PasteFirstLine(QClipboard::Clipboard); });
    }
    menu->exec(event->globalPos());
}

void InputField::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes X11's selection.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        deselect();
        PasteFirstLine(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void InputField::dropEvent(QDropEvent* event) {
    const QString offered = OfferedText(event->mimeData());
    if (offered.isEmpty()) return QLineEdit::dropEvent(event);
    QMimeData firstLine;
    firstLine.setText(FirstLine(offered));
    QDropEvent cut(event->position(), event->possibleActions(), &firstLine, event->buttons(),
                   event->modifiers(), event->type());
    QLineEdit::dropEvent(&cut);
    event->setDropAction(cut.dropAction());
    event->setAccepted(cut.isAccepted());
}

void InputField::dragMoveEvent(QDragMoveEvent* event) {
    // Text offered only as HTML is text all the same.
    const QString offered = OfferedText(event->mimeData());
    if (event->mimeData()->hasText() || offered.isEmpty()) return QLineEdit::dragMoveEvent(event);
    QMimeData plain;
    plain.setText(offered);
    QDragMoveEvent copy(event->position().toPoint(), event->possibleActions(), &plain,
                        event->buttons(), event->modifiers(), event->type());
    QLineEdit::dragMoveEvent(&copy);
    event->setDropAction(copy.dropAction());
    event->setAccepted(copy.isAccepted());
}

void InputField::dragEnterEvent(QDragEnterEvent* event) {
    // As a move: QLineEdit's own takes plain text only, and a drag not taken as it enters never
    // moves on to dragMoveEvent.
    dragMoveEvent(event);
}

void InputField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Out of the focus a text too long for the field shows its start, sign and first digits, as
    // on Windows; not while a menu is open or another window is active, which give it back.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason) {
        setCursorPosition(0);
    }
}

void InputField::KeepFirstLineOfChange(const QString& text) {
    const QString previous = std::exchange(lastText_, text);
    const QString first = FirstLine(text);
    if (first.size() == text.size()) return;
    // What followed the change is what both texts end with, but never more of the old text than
    // lies after what both begin with: a pasted "x\n5" at the end of "15" keeps none of it.
    qsizetype same = 0;
    while (same < std::min(previous.size(), first.size()) && previous[same] == text[same]) ++same;
    qsizetype kept = 0;
    const qsizetype most = std::min(previous.size() - same, text.size() - first.size() - 1);
    while (kept < most && previous[previous.size() - 1 - kept] == text[text.size() - 1 - kept]) {
        ++kept;
    }
    setText(first + text.last(kept));
}
