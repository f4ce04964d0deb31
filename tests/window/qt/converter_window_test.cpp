#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

#include "window/qt/converter_window.h"

using namespace Qt::Literals::StringLiterals;

// Drives the window the way a person does: key presses and clicks go through the window system
// to whichever control has the focus, and every check reads what the controls show.
class ConverterWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup() { window_.reset(); }

    void windowFollowsTheDesign();
    void controlsFollowTheDesign_data();
    void controlsFollowTheDesign();
    void tabVisitsFieldsAndButtonInOrder();
    void whatAPersonDoesIsShown_data();
    void whatAPersonDoesIsShown();
    void usersNumberFormat();
    void relHoldsTheUnroundedValue();

  private:
    template <typename T = QWidget>
    T* control(const QString& name) const {
        return window_->findChild<T*>(name);
    }
    QString text(const QString& name) const { return control<QLineEdit>(name)->text(); }
    QString focusName() const {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    // I1, I2 and Text1 as they read, and whether the window was closed.
    QString shown() const {
        return text(u"I1"_s) + u" | "_s + text(u"I2"_s) + u" | "_s + text(u"Text1"_s) +
               (window_->isVisible() ? u""_s : u" | closed"_s);
    }
    void act(const QString& step);
    void pasteFromContextMenu(const QString& field);

    std::unique_ptr<ConverterWindow> window_;
};

void ConverterWindowTest::init() {
    // The test reuses one process for many windows; closing one must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    window_ = std::make_unique<ConverterWindow>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

// One step of a person's doing: "@I2" moves the focus there with Tab, "{Ctrl+A}" presses keys,
// "clip:…" puts text on the clipboard, "menu:I2" pastes by I2's context menu, "click:Command1"
// clicks a control; anything else is typed.
void ConverterWindowTest::act(const QString& step) {
    if (step.startsWith(u'@')) {
        const QString name = step.mid(1);
        for (int i = 0; i < 4 && focusName() != name; ++i) act(u"{Tab}"_s);
        QCOMPARE(focusName(), name);
    } else if (step.startsWith(u'{') && step.endsWith(u'}')) {
        QTest::keySequence(window_->windowHandle(), QKeySequence(step.mid(1, step.size() - 2)));
    } else if (step.startsWith(u"clip:"_s)) {
        QApplication::clipboard()->setText(step.mid(5));
    } else if (step.startsWith(u"menu:"_s)) {
        pasteFromContextMenu(step.mid(5));
    } else if (step.startsWith(u"click:"_s)) {
        QTest::mouseClick(control(step.mid(6)), Qt::LeftButton);
    } else {
        for (const QChar c : step) QTest::keyClick(window_->windowHandle(), c.toLatin1());
    }
}

void ConverterWindowTest::pasteFromContextMenu(const QString& field) {
    // The menu runs its own event loop; choose the paste entry from inside it, found by its
    // shortcut, which every language writes the same.
    QTimer::singleShot(0, this, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        const QString shortcut =
            u'\t' + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
        for (QAction* action : menu->actions()) {
            if (!action->text().endsWith(shortcut)) continue;
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            return;
        }
        menu->close();
        QFAIL("the context menu offers no paste");
    });
    QTest::mouseClick(window_->windowHandle(), Qt::RightButton, {},
                      control(field)->geometry().center());
}

void ConverterWindowTest::windowFollowsTheDesign() {
    QCOMPARE(window_->objectName(), u"CALC_ABS_REL"_s);
    QCOMPARE(window_->windowTitle(), u"Feuchte abs -> rel"_s);
    QCOMPARE(window_->size(), QSize(248, 157));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    QCOMPARE(focusName(), u"I1"_s);
    const QList<QSize> iconSizes = window_->windowIcon().availableSizes();
    QVERIFY(iconSizes.contains(QSize(48, 48)) && iconSizes.contains(QSize(32, 32)));

    // The banner sits in the top-left corner, and the window's background shows where it is
    // transparent.
    const QImage banner = QImage(u":/banner.gif"_s).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(banner.size(), QSize(246, 51));
    const QImage shown = window_->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb background = window_->palette().color(QPalette::Window).rgba();
    int transparent = 0;
    for (int y = 0; y < banner.height(); ++y) {
        for (int x = 0; x < banner.width(); ++x) {
            const QRgb picture = banner.pixel(x, y);
            transparent += qAlpha(picture) == 0;
            QCOMPARE(shown.pixel(x, y), qAlpha(picture) == 0 ? background : picture);
        }
    }
    QVERIFY(transparent > 0 && transparent < banner.width() * banner.height());
}

void ConverterWindowTest::controlsFollowTheDesign_data() {
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("weight");  // 0: the application's font for the control
    QTest::addColumn<QString>("accessibleName");
    QTest::newRow("I1") << QRect(16, 56, 41, 25) << u"23,0"_s << 400 << u"Temperatur in °C"_s;
    QTest::newRow("Label1") << QRect(56, 56, 33, 25) << u"°C"_s << 400 << QString();
    QTest::newRow("I2") << QRect(96, 56, 41, 25) << u"8,6"_s << 400
                        << u"Absolute Feuchte in g/m³"_s;
    QTest::newRow("Label2") << QRect(136, 56, 41, 25) << u"%  a"_s << 400 << QString();
    QTest::newRow("Text1") << QRect(16, 88, 217, 25) << u"--- % rel"_s << 700
                           << u"Relative Feuchte"_s;
    QTest::newRow("Command1") << QRect(16, 120, 217, 25) << u"&berechnen"_s << 0 << QString();
}

void ConverterWindowTest::controlsFollowTheDesign() {
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(int, weight);
    QFETCH(QString, accessibleName);
    const QWidget* widget = control(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->maximumSize(), geometry.size());
    text.replace(u","_s, QLocale::system().decimalPoint());
    QCOMPARE(widget->property("text").toString(), text);
    QCOMPARE(widget->accessibleName(), accessibleName);
    if (weight == 0) {
        QCOMPARE(widget->font(), QApplication::font(widget));
    } else {
        const QFontInfo font(widget->font());
        QCOMPARE(widget->font().family(), u"MS Sans Serif"_s);
        QCOMPARE(font.pointSize(), 12);
        QCOMPARE(font.pixelSize(), 16);
        QCOMPARE(font.weight(), weight);
    }
}

void ConverterWindowTest::tabVisitsFieldsAndButtonInOrder() {
    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        act(u"{Tab}"_s);
        seen << focusName();
    }
    for (int i = 0; i < 4; ++i) {
        act(u"{Shift+Tab}"_s);
        seen << focusName();
    }
    QCOMPARE(seen, (QStringList{u"I2"_s, u"Text1"_s, u"Command1"_s, u"I1"_s, u"Command1"_s,
                                u"Text1"_s, u"I2"_s, u"I1"_s}));
}

void ConverterWindowTest::whatAPersonDoesIsShown_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected");  // I1 | I2 | Text1, and whether the window closed
    const auto row = [](const char* name, const QStringList& steps, const QString& shown) {
        QTest::newRow(name) << steps << shown;
    };
    row("typing replaces the selected initial number", {u"20"_s}, u"20 | 8,6 | 49,8 % rel"_s);
    row("5 at the end of I2", {u"@I2"_s, u"{End}"_s, u"5"_s}, u"23,0 | 8,65 | 42,1 % rel"_s);
    row("a key that changes nothing", {u"{Left}"_s}, u"23,0 | 8,6 | 41,8 % rel"_s);
    row("Tab moves on without calculating", {u"{Tab}"_s, u"{Tab}"_s}, u"23,0 | 8,6 | --- % rel"_s);
    row("Shift goes down in I1 before Shift+Tab", {u"{Shift+Tab}"_s}, u"23,0 | 8,6 | 41,8 % rel"_s);
    row("I1 emptied with Backspace",
        {u"{End}"_s, u"{Backspace}"_s, u"{Backspace}"_s, u"{Backspace}"_s, u"{Backspace}"_s},
        u" | 8,6 | --- % rel"_s);
    row("letters in I1", {u"abc"_s}, u"abc | 8,6 | --- % rel"_s);
    row("point instead of comma", {u"@I2"_s, u"8.6"_s}, u"23,0 | 8.6 | --- % rel"_s);
    row("too far below the dew point to show", {u"-40"_s}, u"-40 | 8,6 | --- % rel"_s);
    row("saturated air is capped at 100", {u"@I2"_s, u"17,3"_s, u"{Shift+Tab}"_s, u"20"_s},
        u"20 | 17,3 | 100,0 % rel"_s);
    for (const char* focus : {"I1", "I2", "Text1", "Command1"}) {
        QTest::addRow("Alt+B from %s", focus)
            << QStringList{u"@"_s + QLatin1String(focus), u"{Alt+B}"_s}
            << u"23,0 | 8,6 | 41,8 % rel"_s;
    }
    row("Enter on the button", {u"@Command1"_s, u"{Return}"_s}, u"23,0 | 8,6 | 41,8 % rel"_s);
    row("Escape in I1", {u"{Escape}"_s}, u"23,0 | 8,6 | 41,8 % rel | closed"_s);
    row("Shift+Escape in I2", {u"@I2"_s, u"{Shift+Escape}"_s},
        u"23,0 | 8,6 | 41,8 % rel | closed"_s);
    row("Escape in Text1", {u"@Text1"_s, u"{Escape}"_s}, u"23,0 | 8,6 | --- % rel"_s);
    row("Escape on the button", {u"@Command1"_s, u"{Escape}"_s}, u"23,0 | 8,6 | --- % rel"_s);
    // Text1 takes typing but is never read; the next calculation overwrites it.
    row("typing into Text1 and moving through I2",
        {u"@Text1"_s, u"{End}"_s, u" ok"_s, u"{Shift+Tab}"_s, u"{Tab}"_s},
        u"23,0 | 8,6 | --- % rel ok"_s);
    row("a key in I2 after typing into Text1", {u"@Text1"_s, u"x"_s, u"{Shift+Tab}"_s, u"{End}"_s},
        u"23,0 | 8,6 | 41,8 % rel"_s);
    row("a click after typing into Text1", {u"@Text1"_s, u"x"_s, u"click:Command1"_s},
        u"23,0 | 8,6 | 41,8 % rel"_s);
    row("a failing click after typing into Text1",
        {u"abc"_s, u"@Text1"_s, u"x"_s, u"click:Command1"_s}, u"abc | 8,6 | --- % rel"_s);
    row("a failing Alt+B after typing into Text1", {u"-40"_s, u"@Text1"_s, u"x"_s, u"{Alt+B}"_s},
        u"-40 | 8,6 | --- % rel"_s);
    // A copied spreadsheet cell or terminal line: the field keeps its first line only.
    row("Ctrl+V", {u"clip:8,65"_s, u"@I2"_s, u"{Ctrl+V}"_s}, u"23,0 | 8,65 | 42,1 % rel"_s);
    row("paste from the context menu", {u"clip:8,65"_s, u"@I2"_s, u"menu:I2"_s},
        u"23,0 | 8,65 | 42,1 % rel"_s);
    row("paste with a line break", {u"clip:8,65\n"_s, u"@I2"_s, u"{Ctrl+V}"_s},
        u"23,0 | 8,65 | 42,1 % rel"_s);
    row("paste of two lines", {u"clip:8,65\r\n17,3"_s, u"@I2"_s, u"{Shift+Insert}"_s},
        u"23,0 | 8,65 | 42,1 % rel"_s);
    row("paste with a NUL", {QString(u"clip:8,65\0x"_s), u"@I2"_s, u"menu:I2"_s},
        u"23,0 | 8,65 | 42,1 % rel"_s);
}

void ConverterWindowTest::whatAPersonDoesIsShown() {
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    for (const QString& step : steps) act(step);
    // Waits only for Alt+B, whose click comes once the button has been shown pressed.
    QTRY_COMPARE(shown(), expected);
}

void ConverterWindowTest::usersNumberFormat() {
    // Registered with de_DE and with en_US.
    const QString point = QLocale::system().decimalPoint();
    const auto local = [&point](QString number) { return number.replace(u","_s, point); };
    act(u"click:Command1"_s);
    QCOMPARE(shown(), local(u"23,0 | 8,6 | 41,8 % rel"_s));
    act(u"@I2"_s);
    act(local(u"8,65"_s));
    QCOMPARE(text(u"Text1"_s), local(u"42,1 % rel"_s));
}

void ConverterWindowTest::relHoldsTheUnroundedValue() {
    act(u"click:Command1"_s);
    QCOMPARE(qRound(window_->property("rel").toDouble() * 1000), 41840);
    // A result too large to show still went through the formula.
    act(u"@I1"_s);
    act(u"-40"_s);
    QCOMPARE(text(u"Text1"_s), u"--- % rel"_s);
    QCOMPARE(qRound(window_->property("rel").toDouble()), 4880);
    // Text that is no number never reaches it.
    act(u"{Ctrl+A}"_s);
    act(u"abc"_s);
    QCOMPARE(qRound(window_->property("rel").toDouble()), 4880);
}

QTEST_MAIN(ConverterWindowTest)
#include "converter_window_test.moc"
