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
#include <QSignalSpy>
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
    void initTestCase();
    void init();
    void cleanup();

    void windowFollowsTheDesign();
    void controlsFollowTheDesign_data();
    void controlsFollowTheDesign();
    void tabVisitsFieldsAndButtonInOrder_data();
    void tabVisitsFieldsAndButtonInOrder();
    void altBCalculatesFromEveryControl_data();
    void altBCalculatesFromEveryControl();
    void enterPressesTheFocusedButton();
    void escapeClosesOnlyFromAnInputField_data();
    void escapeClosesOnlyFromAnInputField();
    void typingRecalculatesAtOnce_data();
    void typingRecalculatesAtOnce();
    void resultFieldTakesTypingButNeverRecalculates();
    void failingInputsShowNoResultOnEveryPath_data();
    void failingInputsShowNoResultOnEveryPath();
    void pasteRecalculates_data();
    void pasteRecalculates();
    void usersNumberFormat_data();
    void usersNumberFormat();
    void relHoldsTheUnroundedValue();

  private:
    template <typename T = QWidget>
    T* control(const QString& name) const {
        return window_->findChild<T*>(name);
    }
    QString result() const { return control<QLineEdit>(u"Text1"_s)->text(); }
    QString focusName() const {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window_->windowHandle(), key, modifiers);
    }
    void tabTo(const QString& name);
    void type(const QStringList& steps);
    void setInputs(const QString& temperature, const QString& humidity);

    std::unique_ptr<ConverterWindow> window_;
};

void ConverterWindowTest::initTestCase() {
    // The test reuses one process for many windows; closing one must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    const QLocale system = QLocale::system();
    QVERIFY2(system.language() == QLocale::German || system.language() == QLocale::English,
             "LC_ALL picks the number format; the test is registered with de_DE and en_US");
}

void ConverterWindowTest::init() {
    window_ = std::make_unique<ConverterWindow>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void ConverterWindowTest::cleanup() {
    window_.reset();
}

// Moves the focus with Tab from the field that has it at the start.
void ConverterWindowTest::tabTo(const QString& name) {
    for (int i = 0; i < 4 && focusName() != name; ++i) press(Qt::Key_Tab);
    QCOMPARE(focusName(), name);
}

// Each step is either text to type or a key sequence in braces, e.g. "{Ctrl+A}".
void ConverterWindowTest::type(const QStringList& steps) {
    for (const QString& step : steps) {
        if (step.startsWith(u'{') && step.endsWith(u'}')) {
            QTest::keySequence(window_->windowHandle(), QKeySequence(step.mid(1, step.size() - 2)));
        } else {
            for (const QChar c : step) QTest::keyClick(window_->windowHandle(), c.toLatin1());
        }
    }
}

// Sets the inputs as a program would, without recalculating.
void ConverterWindowTest::setInputs(const QString& temperature, const QString& humidity) {
    control<QLineEdit>(u"I1"_s)->setText(temperature);
    control<QLineEdit>(u"I2"_s)->setText(humidity);
}

void ConverterWindowTest::windowFollowsTheDesign() {
    QCOMPARE(window_->objectName(), u"CALC_ABS_REL"_s);
    QCOMPARE(window_->windowTitle(), u"Feuchte abs -> rel"_s);
    QCOMPARE(window_->size(), QSize(248, 157));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    QCOMPARE(focusName(), u"I1"_s);

    const QList<QSize> iconSizes = window_->windowIcon().availableSizes();
    QVERIFY2(iconSizes.contains(QSize(48, 48)) && iconSizes.contains(QSize(32, 32)),
             "the window icon comes with the images of app.ico");

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
            const bool seeThrough = qAlpha(picture) == 0;
            transparent += seeThrough;
            QCOMPARE(shown.pixel(x, y), seeThrough ? background : picture);
        }
    }
    QVERIFY(transparent > 0 && transparent < banner.width() * banner.height());
}

void ConverterWindowTest::controlsFollowTheDesign_data() {
    QTest::addColumn<QString>("className");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("weight");  // 0: the application's font for the control
    QTest::addColumn<bool>("takesFocus");
    QTest::addColumn<QString>("accessibleName");

    QTest::newRow("I1") << u"QLineEdit"_s << QRect(16, 56, 41, 25) << u"23,0"_s << 400 << true
                        << u"Temperatur in °C"_s;
    QTest::newRow("Label1") << u"QLabel"_s << QRect(56, 56, 33, 25) << u"°C"_s << 400 << false
                            << QString();
    QTest::newRow("I2") << u"QLineEdit"_s << QRect(96, 56, 41, 25) << u"8,6"_s << 400 << true
                        << u"Absolute Feuchte in g/m³"_s;
    QTest::newRow("Label2") << u"QLabel"_s << QRect(136, 56, 41, 25) << u"%  a"_s << 400 << false
                            << QString();
    QTest::newRow("Text1") << u"QLineEdit"_s << QRect(16, 88, 217, 25) << u"--- % rel"_s << 700
                           << true << u"Relative Feuchte"_s;
    QTest::newRow("Command1") << u"QPushButton"_s << QRect(16, 120, 217, 25) << u"&berechnen"_s << 0
                              << true << QString();
}

void ConverterWindowTest::controlsFollowTheDesign() {
    QFETCH(QString, className);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(int, weight);
    QFETCH(bool, takesFocus);
    QFETCH(QString, accessibleName);

    const QWidget* widget = control(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(widget);
    QCOMPARE(widget->metaObject()->className(), className);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->minimumSize(), geometry.size());
    QCOMPARE(widget->maximumSize(), geometry.size());
    if (QLocale::system().decimalPoint() != u","_s)
        text.replace(u","_s, QLocale::system().decimalPoint());
    QCOMPARE(widget->property("text").toString(), text);
    QCOMPARE(widget->focusPolicy() != Qt::NoFocus, takesFocus);
    QCOMPARE(widget->accessibleName(), accessibleName);

    if (weight == 0) {
        QCOMPARE(widget->font(), QApplication::font(widget));
    } else {
        const QFontInfo shown(widget->font());
        QCOMPARE(widget->font().family(), u"MS Sans Serif"_s);
        QCOMPARE(shown.pointSize(), 12);
        QCOMPARE(shown.pixelSize(), 16);
        QCOMPARE(shown.weight(), weight);
    }
}

void ConverterWindowTest::tabVisitsFieldsAndButtonInOrder_data() {
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QStringList>("visited");
    QTest::addColumn<QString>("resultAfter");
    // Tab itself calculates nothing, but Shift goes down in I1 first, and every key there does.
    QTest::newRow("Tab") << Qt::KeyboardModifiers()
                         << QStringList{u"I2"_s, u"Text1"_s, u"Command1"_s, u"I1"_s}
                         << u"--- % rel"_s;
    QTest::newRow("Shift+Tab") << Qt::KeyboardModifiers(Qt::ShiftModifier)
                               << QStringList{u"Command1"_s, u"Text1"_s, u"I2"_s, u"I1"_s}
                               << u"41,8 % rel"_s;
}

void ConverterWindowTest::tabVisitsFieldsAndButtonInOrder() {
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QStringList, visited);
    QFETCH(QString, resultAfter);
    QStringList seen;
    for (qsizetype i = 0; i < visited.size(); ++i) {
        press(Qt::Key_Tab, modifiers);
        seen << focusName();
    }
    QCOMPARE(seen, visited);
    QCOMPARE(result(), resultAfter);
}

void ConverterWindowTest::altBCalculatesFromEveryControl_data() {
    QTest::addColumn<QString>("focus");
    for (const char* name : {"I1", "I2", "Text1", "Command1"}) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

void ConverterWindowTest::altBCalculatesFromEveryControl() {
    QFETCH(QString, focus);
    tabTo(focus);
    QSignalSpy clicked(control<QPushButton>(u"Command1"_s), &QPushButton::clicked);
    press(Qt::Key_B, Qt::AltModifier);
    QTRY_COMPARE(clicked.count(), 1);
    QCOMPARE(result(), u"41,8 % rel"_s);
    QVERIFY(window_->isVisible());
}

void ConverterWindowTest::enterPressesTheFocusedButton() {
    tabTo(u"Command1"_s);
    press(Qt::Key_Return);
    QTRY_COMPARE(result(), u"41,8 % rel"_s);
}

void ConverterWindowTest::escapeClosesOnlyFromAnInputField_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("resultAfter");
    const Qt::KeyboardModifiers none;
    const Qt::KeyboardModifiers shift(Qt::ShiftModifier);
    // An input field recalculates before the window closes, like every key there.
    QTest::newRow("I1") << u"I1"_s << none << true << u"41,8 % rel"_s;
    QTest::newRow("Shift in I1") << u"I1"_s << shift << true << u"41,8 % rel"_s;
    QTest::newRow("I2") << u"I2"_s << none << true << u"41,8 % rel"_s;
    QTest::newRow("Shift in I2") << u"I2"_s << shift << true << u"41,8 % rel"_s;
    QTest::newRow("Text1") << u"Text1"_s << none << false << u"--- % rel"_s;
    QTest::newRow("Command1") << u"Command1"_s << none << false << u"--- % rel"_s;
    QTest::newRow("Shift on Command1") << u"Command1"_s << shift << false << u"--- % rel"_s;
}

void ConverterWindowTest::escapeClosesOnlyFromAnInputField() {
    QFETCH(QString, focus);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, closes);
    QFETCH(QString, resultAfter);
    tabTo(focus);
    press(Qt::Key_Escape, modifiers);
    QCOMPARE(window_->isVisible(), !closes);
    QCOMPARE(result(), resultAfter);
}

void ConverterWindowTest::typingRecalculatesAtOnce_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("typing at the start replaces the selected initial number")
        << u"I1"_s << QStringList{u"20"_s} << u"20"_s << u"49,8 % rel"_s;
    QTest::newRow("5 at the end of I2")
        << u"I2"_s << QStringList{u"{End}"_s, u"5"_s} << u"8,65"_s << u"42,1 % rel"_s;
    QTest::newRow("I1 emptied with Backspace")
        << u"I1"_s
        << QStringList{u"{End}"_s, u"{Backspace}"_s, u"{Backspace}"_s, u"{Backspace}"_s,
                       u"{Backspace}"_s}
        << QString() << u"--- % rel"_s;
    QTest::newRow("letters in I1")
        << u"I1"_s << QStringList{u"{Ctrl+A}"_s, u"abc"_s} << u"abc"_s << u"--- % rel"_s;
    QTest::newRow("point instead of comma")
        << u"I2"_s << QStringList{u"{Ctrl+A}"_s, u"8.6"_s} << u"8.6"_s << u"--- % rel"_s;
    QTest::newRow("too far below the dew point to show")
        << u"I1"_s << QStringList{u"{Ctrl+A}"_s, u"-40"_s} << u"-40"_s << u"--- % rel"_s;
    QTest::newRow("arrow key leaves the text")
        << u"I1"_s << QStringList{u"{Left}"_s} << u"23,0"_s << u"41,8 % rel"_s;
    QTest::newRow("saturated air is capped at 100")
        << u"I2"_s << QStringList{u"{Ctrl+A}"_s, u"17,3"_s, u"{Shift+Tab}"_s, u"20"_s} << u"20"_s
        << u"100,0 % rel"_s;
}

void ConverterWindowTest::typingRecalculatesAtOnce() {
    QFETCH(QString, field);
    QFETCH(QStringList, steps);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    tabTo(field);
    type(steps);
    QCOMPARE(control<QLineEdit>(QApplication::focusWidget()->objectName())->text(), input);
    QCOMPARE(result(), expected);  // at once: no event loop has run since the last key
    QVERIFY(window_->isVisible());
}

void ConverterWindowTest::resultFieldTakesTypingButNeverRecalculates() {
    tabTo(u"Text1"_s);
    type({u"{End}"_s, u" ok"_s});
    QCOMPARE(result(), u"--- % rel ok"_s);
    press(Qt::Key_Tab, Qt::ShiftModifier);
    press(Qt::Key_Tab);  // through I2 and back: moving the focus recalculates nothing
    QCOMPARE(focusName(), u"Text1"_s);
    QCOMPARE(result(), u"--- % rel ok"_s);

    press(Qt::Key_Tab, Qt::ShiftModifier);
    type({u"{End}"_s});  // the next key in an input field overwrites what was typed
    QCOMPARE(result(), u"41,8 % rel"_s);

    QTest::mouseClick(control(u"Text1"_s), Qt::LeftButton);
    type({u"{Ctrl+A}"_s, u"x"_s});
    QCOMPARE(result(), u"x"_s);
    QTest::mouseClick(control(u"Command1"_s), Qt::LeftButton);  // and so does the button
    QCOMPARE(result(), u"41,8 % rel"_s);
}

void ConverterWindowTest::failingInputsShowNoResultOnEveryPath_data() {
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<QString>("humidity");
    QTest::addColumn<QString>("path");
    const QList<std::pair<QString, QString>> inputs{{u"abc"_s, u"8,6"_s},    {QString(), u"8,6"_s},
                                                    {u"23,0"_s, u"8.6"_s},   {u"23,0"_s, u"x"_s},
                                                    {u"-243,5"_s, u"8,6"_s}, {u"-40"_s, u"8,6"_s}};
    for (const auto& [temperature, humidity] : inputs) {
        for (const QString& path : {u"click"_s, u"Alt+B"_s, u"key in I1"_s, u"key in I2"_s}) {
            QTest::addRow("%s / %s by %s", qPrintable(temperature), qPrintable(humidity),
                          qPrintable(path))
                << temperature << humidity << path;
        }
    }
}

void ConverterWindowTest::failingInputsShowNoResultOnEveryPath() {
    QFETCH(QString, temperature);
    QFETCH(QString, humidity);
    QFETCH(QString, path);
    QPushButton* button = control<QPushButton>(u"Command1"_s);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(result(), u"41,8 % rel"_s);

    setInputs(temperature, humidity);
    if (path == u"click"_s) {
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(result(), u"--- % rel"_s);
    } else if (path == u"Alt+B"_s) {
        press(Qt::Key_B, Qt::AltModifier);
        QTRY_COMPARE(result(), u"--- % rel"_s);
    } else {
        tabTo(path.endsWith(u"I1"_s) ? u"I1"_s : u"I2"_s);
        press(Qt::Key_End);
        QCOMPARE(result(), u"--- % rel"_s);
    }
    QTRY_VERIFY(!button->isDown());  // until Alt+B's click has gone through
    QVERIFY(window_->isVisible());
    QCOMPARE(control<QLineEdit>(u"I1"_s)->text(), temperature);
    QCOMPARE(control<QLineEdit>(u"I2"_s)->text(), humidity);
}

void ConverterWindowTest::pasteRecalculates_data() {
    QTest::addColumn<bool>("byContextMenu");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("Ctrl+V") << false << u"8,65"_s;
    QTest::newRow("context menu") << true << u"8,65"_s;
    // A copied spreadsheet cell or terminal line: the field keeps its first line only.
    QTest::newRow("with a line break") << false << u"8,65\n"_s;
    QTest::newRow("two lines") << false << u"8,65\r\n17,3"_s;
    QTest::newRow("with a NUL") << true << QString(u"8,65\0x"_s);
}

void ConverterWindowTest::pasteRecalculates() {
    QFETCH(bool, byContextMenu);
    QFETCH(QString, clipboard);
    QApplication::clipboard()->setText(clipboard);
    tabTo(u"I2"_s);  // selects the whole field, so the paste replaces it
    if (byContextMenu) {
        // The menu runs its own event loop; choose "Einfügen" from inside it.
        QTimer::singleShot(0, this, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            // Found by its shortcut, which every language writes the same.
            const QString shortcut =
                u'\t' + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
            for (QAction* action : menu->actions()) {
                if (!action->text().endsWith(shortcut)) continue;
                QVERIFY(action->isEnabled());
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                return;
            }
            menu->close();
            QFAIL("the context menu offers no paste");
        });
        const QWidget* field = control(u"I2"_s);
        QTest::mouseClick(window_->windowHandle(), Qt::RightButton, {}, field->geometry().center());
    } else {
        press(Qt::Key_V, Qt::ControlModifier);
    }
    QCOMPARE(control<QLineEdit>(u"I2"_s)->text(), u"8,65"_s);
    QCOMPARE(result(), u"42,1 % rel"_s);
}

void ConverterWindowTest::usersNumberFormat_data() {
    QTest::addColumn<QString>("decimalPoint");
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<QString>("humidity");
    QTest::addColumn<QString>("calculated");
    QTest::addColumn<QString>("typedHumidity");
    QTest::addColumn<QString>("afterTyping");
    QTest::newRow("German") << u","_s << u"23,0"_s << u"8,6"_s << u"41,8 % rel"_s << u"8,65"_s
                            << u"42,1 % rel"_s;
    QTest::newRow("English") << u"."_s << u"23.0"_s << u"8.6"_s << u"41.8 % rel"_s << u"8.65"_s
                             << u"42.1 % rel"_s;
}

void ConverterWindowTest::usersNumberFormat() {
    QFETCH(QString, decimalPoint);
    QFETCH(QString, temperature);
    QFETCH(QString, humidity);
    QFETCH(QString, calculated);
    QFETCH(QString, typedHumidity);
    QFETCH(QString, afterTyping);
    if (QLocale::system().decimalPoint() != decimalPoint) QSKIP("the other locale's test run");

    QCOMPARE(control<QLineEdit>(u"I1"_s)->text(), temperature);
    QCOMPARE(control<QLineEdit>(u"I2"_s)->text(), humidity);
    QTest::mouseClick(control(u"Command1"_s), Qt::LeftButton);
    QCOMPARE(result(), calculated);
    tabTo(u"I2"_s);
    type({typedHumidity});
    QCOMPARE(result(), afterTyping);
}

void ConverterWindowTest::relHoldsTheUnroundedValue() {
    QTest::mouseClick(control(u"Command1"_s), Qt::LeftButton);
    QCOMPARE(qRound(window_->property("rel").toDouble() * 1000), 41840);
    // A result too large to show still went through the formula.
    tabTo(u"I1"_s);
    type({u"{Ctrl+A}"_s, u"-40"_s});
    QCOMPARE(result(), u"--- % rel"_s);
    QCOMPARE(qRound(window_->property("rel").toDouble()), 4880);
    // Text that is no number never reaches it.
    type({u"{Ctrl+A}"_s, u"abc"_s});
    QCOMPARE(qRound(window_->property("rel").toDouble()), 4880);
}

QTEST_MAIN(ConverterWindowTest)
#include "converter_window_test.moc"
