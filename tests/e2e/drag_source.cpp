// Offers its text for dragging, as text selected in another program would be, and ends half a
// second after it has been dropped, time enough for the text to be fetched. With "html" after
// the text, it offers the text as HTML alone, as some web pages do.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QTimer>

class Source : public QLabel {
  public:
    using QLabel::QLabel;
    bool html = false;

  protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        auto* mime = new QMimeData;
        if (html) {
            mime->setHtml(text());
        } else {
            mime->setText(text());
        }
        drag->setMimeData(mime);
        drag->exec(Qt::CopyAction);
        QTimer::singleShot(500, qApp, &QApplication::quit);
    }
};

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    Source source(QString::fromUtf8(argc > 1 ? argv[1] : ""));
    source.html = argc > 2 && QByteArray(argv[2]) == "html";
    source.setWindowTitle(QStringLiteral("drag source"));
    source.resize(120, 60);
    source.show();
    return QApplication::exec();
}
