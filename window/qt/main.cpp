#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

#include "product.h"
#include "window/qt/converter_window.h"

int main(int argc, char* argv[]) {
    // Qt would abort with a core dump and a hint about platform plugins; say what is missing.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        // argv[0] names the program as it was started, from the build folder or installed.
        std::fprintf(stderr,
                     "%s: keine Anzeige (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt); ohne "
                     "Bildschirm so starten: xvfb-run -a %s\n",
                     product::kExecutable, argc > 0 ? argv[0] : product::kExecutable);
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(product::kName));
    QApplication::setOrganizationName(QString::fromUtf8(product::kOrganization));
    QApplication::setApplicationVersion(QString::fromUtf8(product::kVersion));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(product::kApplicationId));

    // The window speaks German whatever the locale, so Qt's own texts (the fields' context menus)
    // do too.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_de"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }

    ConverterWindow window;
    window.show();
    return QApplication::exec();
}
