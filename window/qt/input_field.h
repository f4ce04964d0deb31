#pragma once

#include <QClipboard>
#include <QLineEdit>

// A one-line input field that takes only the first line of what is pasted or dropped into it, up
// to a line break or a NUL, inserted at the caret or over the selection as Windows' edit fields
// do, so that the rest of the field stays and undo restores what was there. QLineEdit would insert
// every line and keep the ones after the first out of sight.
class InputField : public QLineEdit {
  public:
    InputField(const QString& text, QWidget* parent);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void PasteFirstLine(QClipboard::Mode mode);
    // Text set by a program or the accessibility interface, which QLineEdit takes whole.
    void KeepFirstLineOfChange(const QString& text);

    QString lastText_;
};
