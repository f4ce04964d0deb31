// The yardstick for the converter's start-up: the least a Qt Widgets program does to show a
// window of the same caption and size with text in it. With the argument "field" it has one text
// field, whose text Qt lays out before the window maps: the floor for a window with text.
#include <QApplication>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Feuchte abs -> rel"));
    window.setFixedSize(248, 157);
    if (argc > 1 && qstrcmp(argv[1], "field") == 0) {
        auto* field = new QLineEdit(QStringLiteral("23,0"), &window);
        field->setGeometry(16, 56, 41, 25);
    }
    window.show();
    return QApplication::exec();
}
