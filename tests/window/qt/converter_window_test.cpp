#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPainter>
#include <QTest>

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
    void bannerSuitsScaleAndBackground_data();
    void bannerSuitsScaleAndBackground();
    void controlsFollowTheDesign_data();
    void controlsFollowTheDesign();
    void tabVisitsFieldsAndButtonInOrder();
    void whatAPersonDoesIsShown_data();
    void whatAPersonDoesIsShown();
    void usersNumberFormat();
    void numbersShowWhole();
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

    std::unique_ptr<ConverterWindow> window_;
};

void ConverterWindowTest::init() {
    QLocale::setDefault(QLocale::system());
    QApplication::setQuitOnLastWindowClosed(false);  // one process for many windows
    window_ = std::make_unique<ConverterWindow>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

// One step of a person's doing: "@I2" moves the focus there with Tab, "{Ctrl+A}" presses keys,
// "clip:…" puts text on the clipboard, "click:Command1" clicks a control; "set:…" and
// "insert:1:…" edit the focused field through the accessibility interface, as AT-SPI does for
// voice control and switch access; anything else is typed.
void ConverterWindowTest::act(const QString& step) {
    if (step.startsWith(u'@')) {
        const QString name = step.mid(1);
        for (int i = 0; i < 4 && focusName() != name; ++i) act(u"{Tab}"_s);
        QCOMPARE(focusName(), name);
    } else if (step.startsWith(u'{') && step.endsWith(u'}')) {
        QTest::keySequence(window_->windowHandle(), QKeySequence(step.mid(1, step.size() - 2)));
    } else if (step.startsWith(u"clip:"_s)) {
        QApplication::clipboard()->setText(step.mid(5));
    } else if (step.startsWith(u"html:"_s)) {  // as web pages and mail programs offer it
        auto* html = new QMimeData;
        html->setHtml(step.mid(5));
        QApplication::clipboard()->setMimeData(html);
    } else if (step.startsWith(u"keypad:"_s)) {  // the decimal key, as the layout gives it
        const QChar c = step.at(7);
        QTest::sendKeyEvent(QTest::Click, window_->windowHandle(),
                            c == u'.' ? Qt::Key_Period : Qt::Key_Comma, c, Qt::KeypadModifier);
    } else if (step.startsWith(u"locale:"_s)) {  // the user's settings change, as Qt reports it
        QLocale::setDefault(QLocale(step.mid(7)));
        QEvent changed(QEvent::LocaleChange);
        QCoreApplication::sendEvent(qApp, &changed);
    } else if (step.startsWith(u"click:"_s)) {
        QTest::mouseClick(control(step.mid(6)), Qt::LeftButton);
    } else if (step.startsWith(u"set:"_s) || step.startsWith(u"insert:"_s)) {
        QWidget* field = QApplication::focusWidget();
        auto* edit = QAccessible::queryAccessibleInterface(field)->editableTextInterface();
        if (step.startsWith(u"set:"_s)) {
            edit->replaceText(0, int(field->property("text").toString().size()), step.mid(4));
        } else {
            edit->insertText(step.mid(7, 1).toInt(), step.mid(9));
        }
    } else {  // a locale's own digits too, as its keyboard layout types them
        for (const QChar c : step) {
            QTest::sendKeyEvent(
                QTest::Click, window_->windowHandle(),
                c.unicode() < 128 ? QTest::asciiToKey(c.toLatin1()) : Qt::Key_unknown, c,
                Qt::NoModifier);
        }
    }
}

void ConverterWindowTest::windowFollowsTheDesign() {
    QCOMPARE(window_->objectName(), u"CALC_ABS_REL"_s);
    QCOMPARE(window_->windowTitle(), u"Feuchte abs -> rel"_s);
    QCOMPARE(window_->size(), QSize(248, 157));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    QCOMPARE(focusName(), u"I1"_s);
    const QList<QSize> iconSizes = window_->windowIcon().availableSizes();
    QVERIFY(iconSizes.contains(QSize(48, 48)) && iconSizes.contains(QSize(32, 32)));
}

void ConverterWindowTest::bannerSuitsScaleAndBackground_data() {
    QTest::addColumn<qreal>("scale");  // registered at 100 %, 150 % and 200 %
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QString>("picture");
    const QColor light(0xEF, 0xEF, 0xEF), dark(0x22, 0x20, 0x20);
    QTest::newRow("100 % light") << 1.0 << light << QStringLiteral(RESOURCES_DIR "/banner.gif");
    QTest::newRow("100 % dark") << 1.0 << dark << u":/banner/dark-100.png"_s;
    QTest::newRow("150 % light") << 1.5 << light << u":/banner/150.png"_s;
    QTest::newRow("200 % light") << 2.0 << light << u":/banner/200.png"_s;
    QTest::newRow("200 % dark") << 2.0 << dark << u":/banner/dark-200.png"_s;
}

// The banner sits in the top-left corner, drawn pixel for pixel as the picture for the screen's
// scale and the window's background, which shows through where the picture is transparent.
void ConverterWindowTest::bannerSuitsScaleAndBackground() {
    QFETCH(qreal, scale);
    QFETCH(QColor, background);
    QFETCH(QString, picture);
    if (window_->devicePixelRatioF() != scale) QSKIP("the other scale's run");
    QCOMPARE(window_->windowIcon().availableSizes().contains(QSize(64, 64)), scale > 1);
    window_->setPalette(QPalette(background));  // the window colour among others
    const QImage banner(picture);
    QImage expected(banner.size(), QImage::Format_ARGB32);
    expected.fill(background);
    QPainter(&expected).drawImage(0, 0, banner);
    const QImage shown = window_->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    // Blending may round the other way where the window's backing store has no alpha.
    for (int y = 0; y < banner.height(); ++y) {
        for (int x = 0; x < banner.width(); ++x) {
            const QRgb a = shown.pixel(x, y), b = expected.pixel(x, y);
            QVERIFY2(qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) <= 2 &&
                         qAbs(qBlue(a) - qBlue(b)) <= 1,
                     qPrintable(u"at %1, %2"_s.arg(x).arg(y)));
        }
    }
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
    QCOMPARE(widget->property("text").toString(), text);
    QCOMPARE(widget->accessibleName(), accessibleName);
    const QFontInfo font(widget->font());
    // The designed face or its stand-in, narrower in the input fields; the button at the
    // desktop's size.
    QVERIFY(QStringList({u"MS Sans Serif"_s, u"Liberation Sans"_s, u"Liberation Sans Narrow"_s})
                .contains(font.family()));
    if (weight == 0) {
        QCOMPARE(widget->font().pointSizeF(), QApplication::font(widget).pointSizeF());
    } else {
        QCOMPARE(font.pixelSize(), 16);
        QCOMPARE(font.weight(), weight);
    }
}

void ConverterWindowTest::tabVisitsFieldsAndButtonInOrder() {
    QStringList seen;
    for (const QString& key : QStringList(4, u"{Tab}"_s) + QStringList(4, u"{Shift+Tab}"_s)) {
        act(key);
        seen << focusName();
    }
    QCOMPARE(seen, (QStringList{u"I2"_s, u"Text1"_s, u"Command1"_s, u"I1"_s, u"Command1"_s,
                                u"Text1"_s, u"I2"_s, u"I1"_s}));
}

void ConverterWindowTest::whatAPersonDoesIsShown_data() {
    QTest::addColumn<QString>("steps");     // one after the other, between bars
    QTest::addColumn<QString>("expected");  // I1 | I2 | Text1, and whether the window closed
    const auto row = [](const char* name, const QString& steps, const QString& shown) {
        QTest::newRow(name) << steps << shown;
    };
    row("a key that changes nothing", u"{Left}"_s, u"23,0 | 8,6 | 41,8 % rel"_s);
    row("Tab moves on without calculating", u"{Tab}|{Tab}"_s, u"23,0 | 8,6 | --- % rel"_s);
    row("Shift goes down in I1 before Shift+Tab", u"{Shift+Tab}"_s, u"23,0 | 8,6 | 41,8 % rel"_s);
    row("I1 emptied with Backspace", u"{End}|{Backspace}|{Backspace}|{Backspace}|{Backspace}"_s,
        u" | 8,6 | --- % rel"_s);
    for (const char* focus : {"I1", "I2", "Text1", "Command1"}) {
        QTest::addRow("Alt+B from %s", focus)
            << u"@%1|{Alt+B}"_s.arg(QLatin1String(focus)) << u"23,0 | 8,6 | 41,8 % rel"_s;
    }
    row("Enter on the button", u"@Command1|{Return}"_s, u"23,0 | 8,6 | 41,8 % rel"_s);
    row("Shift+Escape in I2", u"@I2|{Shift+Escape}"_s, u"23,0 | 8,6 | 41,8 % rel | closed"_s);
    row("Escape in Text1", u"@Text1|{Escape}"_s, u"23,0 | 8,6 | --- % rel"_s);
    // Text1 takes typing but is never read; the next calculation overwrites it.
    row("typing into Text1 and moving through I2", u"@Text1|{End}| ok|{Shift+Tab}|{Tab}"_s,
        u"23,0 | 8,6 | --- % rel ok"_s);
    row("a key in I2 after Text1", u"@Text1|x|{Shift+Tab}|{End}"_s, u"23,0 | 8,6 | 41,8 % rel"_s);
    row("a click after typing in Text1", u"@Text1|x|click:Command1"_s,
        u"23,0 | 8,6 | 41,8 % rel"_s);
    row("a failing click after Text1", u"abc|@Text1|x|click:Command1"_s,
        u"abc | 8,6 | --- % rel"_s);
    row("a failing Alt+B after Text1", u"-40|@Text1|x|{Alt+B}"_s, u"-40 | 8,6 | --- % rel"_s);
    // A copied spreadsheet cell or terminal line: the field keeps its first line only.
    row("paste of two lines", u"clip:8,65\r\n17,3|@I2|{Shift+Insert}"_s,
        u"23,0 | 8,65 | 42,1 % rel"_s);
    row("paste with a NUL", QString(u"clip:8,65\0x|@I2|{Ctrl+A}|{Ctrl+V}"_s),
        u"23,0 | 8,65 | 42,1 % rel"_s);
    row("undo after typing and a paste", u"@I2|{End}|5|clip:1|{Ctrl+V}|{Ctrl+Z}"_s,
        u"23,0 | 8,65 | 42,1 % rel"_s);
    row("HTML only", u"html:<p><b>8,65</b><br>x</p>|@I2|{Ctrl+A}|{Ctrl+V}"_s,
        u"23,0 | 8,65 | 42,1 % rel"_s);
    // The keypad's decimal key types the user's separator, whatever the layout makes of it.
    row("keypad '.' on a US layout", u"@I2|{End}|{Backspace}|{Backspace}|keypad:.|65"_s,
        u"23,0 | 8,65 | 42,1 % rel"_s);
    row("keypad ',' on a German layout", u"@I2|{Ctrl+A}|8|keypad:,|65"_s,
        u"23,0 | 8,65 | 42,1 % rel"_s);
    row("'.' on the main keyboard", u"@I2|{Ctrl+A}|8.65"_s, u"23,0 | 8.65 | --- % rel"_s);
    // The texts stay; the result follows the new format at once.
    row("settings change to English", u"23|@I2|{Ctrl+A}|8.65|locale:en_US"_s,
        u"23 | 8.65 | 42.1 % rel"_s);
    row("keypad after the change", u"23|locale:en_US|@I2|{Ctrl+A}|8|keypad:,|65"_s,
        u"23 | 8.65 | 42.1 % rel"_s);
    row("accessibility sets the text", u"@I2|set:8,65"_s, u"23,0 | 8,65 | 42,1 % rel"_s);
    row("accessibility inserts", u"@I2|insert:3:5"_s, u"23,0 | 8,65 | 42,1 % rel"_s);
    row("accessibility inserts two lines", u"@I2|insert:1:5\n9"_s, u"23,0 | 85,6 | 100,0 % rel"_s);
    row("two lines at the end", u"@I2|insert:3:5\n6"_s, u"23,0 | 8,65 | 42,1 % rel"_s);
}

void ConverterWindowTest::whatAPersonDoesIsShown() {
    QFETCH(QString, steps);
    QFETCH(QString, expected);
    for (const QString& step : steps.split(u'|')) act(step);
    // Waits only for Alt+B, whose click comes once the button has been shown pressed.
    QTRY_COMPARE(shown(), expected);
}

void ConverterWindowTest::usersNumberFormat() {
    // Registered with de_DE, en_US, fa_IR and ar_EG: every number is read and written as the
    // locale writes it, in its own digits.
    const auto number = [](double v, int decimals) { return QLocale().toString(v, 'f', decimals); };
    act(u"click:Command1"_s);
    QCOMPARE(shown(),
             number(23, 1) + u" | "_s + number(8.6, 1) + u" | "_s + number(41.8, 1) + u" % rel"_s);
    for (const QString& step : {u"@I2"_s, number(8.65, 2)}) act(step);
    QCOMPARE(text(u"Text1"_s), number(42.1, 1) + u" % rel"_s);
    for (const QString& step : {u"{Ctrl+A}"_s, u"-"_s + number(1, 0)}) act(step);
    // Drawn as the same text forced left to right: the sign first (without the locale's direction
    // mark, which would turn it around), from the field's left edge.
    const QString negative = number(-4.9, 1).remove(QChar(0x200E)).remove(QChar(0x061C));
    QCOMPARE(text(u"Text1"_s), negative + u" % rel"_s);
    QLineEdit forced(u"\u202D"_s + negative + u" % rel\u202C"_s);
    forced.setFont(control(u"Text1"_s)->font());
    forced.resize(control(u"Text1"_s)->size());
    QCOMPARE(control(u"Text1"_s)->grab().toImage().convertToFormat(QImage::Format_RGB32),
             forced.grab().toImage().convertToFormat(QImage::Format_RGB32));
}

// Every number of up to five characters fits either input field, at every scale; a longer one
// shows its start once the focus has left.
void ConverterWindowTest::numbersShowWhole() {
    for (const QString& field : {u"I1"_s, u"I2"_s}) {
        auto* edit = control<QLineEdit>(field);
        // Qt keeps two pixels between the frame and the text, and one for the caret.
        const int room = edit->contentsRect().width() - 2 * 2 - 1;
        for (const QString& number : {u"-10,5"_s, u"12,34"_s, u"23,45"_s, u"100,0"_s}) {
            QVERIFY2(QFontMetricsF(edit->font()).horizontalAdvance(number) <= room,
                     qPrintable(field + u": "_s + number));
        }
        for (const QString& step : {u"@"_s + field, u"{Ctrl+A}"_s, u"-10,555555"_s, u"{Tab}"_s}) {
            act(step);
        }
        const QRect caret = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QVERIFY(caret.left() <= edit->contentsRect().left() + 2);
    }
}

void ConverterWindowTest::relHoldsTheUnroundedValue() {
    // A result too large to show still went through the formula; text that is no number never
    // reaches it.
    QStringList steps{u"click:Command1"_s, u"@I1"_s, u"-40"_s, u"{Ctrl+A}"_s, u"abc"_s};
    for (const int expected : {41840, 41840, 4879921, 4879921, 4879921}) {
        act(steps.takeFirst());
        QCOMPARE(qRound(window_->property("rel").toDouble() * 1000), expected);
    }
}

QTEST_MAIN(ConverterWindowTest)
#include "converter_window_test.moc"
