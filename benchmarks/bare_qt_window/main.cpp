// The yardstick for the converter's start-up: the least a Qt Widgets program does to show a
// window of the same size. With the argument "field" it also has one text field, whose text
// Qt lays out before the window maps, and so shows what fonts cost on their own.
#include <QApplication>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare Qt window"));
    window.setFixedSize(248, 157);
    if (argc > 1 && qstrcmp(argv[1], "field") == 0) {
        auto* field = new QLineEdit(QStringLiteral("23,0"), &window);
        field->setGeometry(16, 56, 41, 25);
    }
    window.show();
    return QApplication::exec();
}
