#include "window/qt/converter_window.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QStringList>
#include <QTranslator>

#include <algorithm>
#include <utility>

#include "window/qt/accessible_field.h"
#include "window/qt/input_field.h"
#include "window/pictures.h"
#include "window/qt/pictures.h"

namespace {

using window::ControlDescription;
using window::ControlKind;
using window::kConverterWindow;
using window::TwipsToPixels;

// Stand in for the designed face where it is missing, as on every Linux system. Liberation Sans
// is as narrow as the designed face, so "23,0" fits its field; DejaVu Sans, which every system
// has, does not quite.
const QStringList kSubstituteFaces{QStringLiteral("Liberation Sans"),
                                   QStringLiteral("DejaVu Sans")};
// A number of five characters, "-10,5" or "12,34", is wider than an input field in a stand-in as
// wide as the designed face, whose digits are narrower than its letters; these show it whole.
const QStringList kNarrowFaces{QStringLiteral("Liberation Sans Narrow"),
                               QStringLiteral("Nimbus Sans Narrow"),
                               QStringLiteral("DejaVu Sans Condensed")};

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The user's number format: the system's, unless the application was given another.
runtime::RegionalSettings UsersSettings() {
    const QLocale locale;
    return {locale.decimalPoint().toStdString(), locale.negativeSign().toStdString(),
            locale.zeroDigit().toStdString()};
}

QFont DesignedFont(const window::FontDescription& description, bool narrow = false) {
    // The faces are named outright: Qt's search for a missing face, through fontconfig's
    // substitutes and fallbacks, takes longer than building the rest of the window.
    static const bool designedFaceInstalled =
        QFontDatabase::families().contains(ToQString(window::kDesignedFace));
    const QStringList faces = designedFaceInstalled ? QStringList{ToQString(description.face)}
                              : narrow              ? kNarrowFaces + kSubstituteFaces
                                                    : kSubstituteFaces;
    QFont font(faces.front(), description.points, description.weight);
    font.setFamilies(faces);
    return font;
}

QWidget* CreateControl(const ControlDescription& control, QWidget* parent) {
    const QString text = ToQString(control.text);
    switch (control.kind) {
        case ControlKind::TextBox:
            // Empty until the font is set: a field lays its text out at once, in whatever font
            // it has.
            if (window::IsInputField(control)) return new InputField(QString(), parent);
            return new QLineEdit(parent);
        case ControlKind::Label:
            return new QLabel(text, parent);
        case ControlKind::CommandButton:
            return new QPushButton(text, parent);
    }
    return nullptr;
}

window::Key KeyOf(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Escape:
            return window::Key::Escape;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return window::Key::Tab;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            // The keypad's decimal key: "." or "," by the keyboard layout.
            return event.modifiers() & Qt::KeypadModifier ? window::Key::KeypadDecimal
                                                          : window::Key::Other;
        default:
            return window::Key::Other;
    }
}

// Names the widget that tells screen readers of a new result.
const QString kAnnouncerName = QStringLiteral("announcer");

// The window reaches screen readers as a frame with its caption, as a main window does, rather
// than as an anonymous part of one; the announcer as a notification; the fields with the text
// attributes that Orca reads them by.
QAccessibleInterface* AccessibleOfWindow(const QString& className, QObject* object) {
    if (className == QLatin1String(ConverterWindow::staticMetaObject.className())) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    if (className == QLatin1String("QLineEdit")) {
        return new AccessibleField(static_cast<QLineEdit*>(object));
    }
    if (className == QLatin1String("QWidget") && object->objectName() == kAnnouncerName) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    }
    return nullptr;
}

// The window speaks German whatever the locale, so Qt's own texts (the fields' context menus) do
// too. They are read when a menu first opens: start-up need not wait for them.
void LoadQtTextsInGerman() {
    static const bool loaded = [] {
        auto* texts = new QTranslator(QCoreApplication::instance());
        return texts->load(QStringLiteral("qtbase_de"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
               QCoreApplication::installTranslator(texts);
    }();
    static_cast<void>(loaded);
}

}  // namespace

ConverterWindow::ConverterWindow(QWidget* parent)
    : QWidget(parent), logic_(UsersSettings()) {
    static const bool frame = [] {
        QAccessible::installFactory(AccessibleOfWindow);
        return true;
    }();
    static_cast<void>(frame);
    setObjectName(ToQString(kConverterWindow.name));
    setWindowTitle(ToQString(kConverterWindow.caption));
    setWindowIcon(pictures::WindowIcon(devicePixelRatioF()));
    setFixedSize(TwipsToPixels(kConverterWindow.clientWidth),
                 TwipsToPixels(kConverterWindow.clientHeight));

    // Screen readers speak a notification as it appears, but not a change of text outside the
    // focused control: one without size, named by the result, appears whenever the result
    // changes, so the new result is heard once while the user types in a field.
    announcer_ = new QWidget(this);
    announcer_->setObjectName(kAnnouncerName);
    announcer_->setGeometry(0, 0, 0, 0);
    for (const auto* control : window::kCreationOrder) AddControl(*control);

    // As a dialog does when it opens: the first field has the focus with its text selected, so
    // typing replaces the initial number.
    QWidget* first = ControlNamed(window::kCreationOrder.front()->name);
    first->setFocus();
    if (auto* field = qobject_cast<QLineEdit*>(first)) field->selectAll();
}

void ConverterWindow::AddControl(const ControlDescription& control) {
    QWidget* widget = CreateControl(control, this);
    widget->setObjectName(ToQString(control.name));
    widget->setGeometry(TwipsToPixels(control.left), TwipsToPixels(control.top),
                        TwipsToPixels(control.width), TwipsToPixels(control.height));
    widget->setFixedSize(widget->size());
    if (control.font) {
        widget->setFont(DesignedFont(*control.font, window::IsInputField(control)));
    } else {
        // The button stores no font: it takes the window's face at the desktop's size, as
        // Windows gives buttons the face of its dialogs, and no third face has to be loaded.
        QFont font = widget->font();
        font.setFamilies(DesignedFont(window::kRegularFont).families());
        widget->setFont(font);
    }
    // A field's accessible name says what it holds and its unit. The unit labels are not made
    // the fields' buddies: screen readers would say a labelling label's bare text ("%  a")
    // instead of the name.
    if (!control.accessibleName.empty()) {
        widget->setAccessibleName(ToQString(control.accessibleName));
    }

    if (auto* field = qobject_cast<QLineEdit*>(widget)) {
        field->setMaxLength(window::kTextBoxLimit);
        field->setText(QString::fromStdString(logic_.InitialText(control)));
        // The window is German and has no right-to-left layout: numbers read left to right even
        // where the text typed or pasted begins with a right-to-left character or mark. QLineEdit
        // takes the direction from the text unless the key for a direction sets it.
        QKeyEvent leftToRight(QEvent::KeyPress, Qt::Key_Direction_L, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &leftToRight);
        field->installEventFilter(this);
        if (window::IsInputField(control)) {
            inputFields_.push_back(field);
            // A report of a text the field has since cut to its first line is stale.
            connect(field, &QLineEdit::textChanged, this, [this, field](const QString& text) {
                if (text == field->text()) Report(&window::ConverterLogic::OnTextChanged);
            });
        }
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        // Enter on the focused button presses it, as on Windows.
        button->setAutoDefault(true);
        connect(button, &QPushButton::clicked, this,
                [this] { Report(&window::ConverterLogic::OnCalculateClicked); });
    }
}

QWidget* ConverterWindow::ControlNamed(std::string_view name) const {
    return findChild<QWidget*>(ToQString(name), Qt::FindDirectChildrenOnly);
}

template <typename Event, typename... Arguments>
void ConverterWindow::Report(Event happened, Arguments&&... arguments) {
    const std::string temperature = inputFields_[0]->text().toStdString();
    const std::string humidity = inputFields_[1]->text().toStdString();
    Show((logic_.*happened)(std::forward<Arguments>(arguments)..., {temperature, humidity}));
}

void ConverterWindow::Show(const window::Reaction& reaction) {
    auto* result = qobject_cast<QLineEdit*>(ControlNamed(window::kResultField));
    if (reaction.result && result->text() != ToQString(*reaction.result)) {
        result->setText(ToQString(*reaction.result));
        announcer_->setAccessibleName(result->text());
        announcer_->hide();
        announcer_->show();
    }
    if (reaction.close) close();
}

bool ConverterWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu) LoadQtTextsInGerman();
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (event->type() != QEvent::KeyPress || !inputFields_.contains(field)) {
        return QWidget::eventFilter(watched, event);
    }
    // The field takes the key first, so that the logic hears of it with the texts it leaves.
    const window::Reaction before = logic_.OnKeyDown(KeyOf(*static_cast<QKeyEvent*>(event)));
    if (before.typeInstead) {
        field->insert(ToQString(*before.typeInstead));
    } else {
        field->event(event);
    }
    Report(&window::ConverterLogic::OnKeyHandled);
    return true;
}

void ConverterWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        Report(&window::ConverterLogic::OnSettingsChanged, UsersSettings());
    }
    QWidget::changeEvent(event);
}

void ConverterWindow::paintEvent(QPaintEvent*) {
    // Chosen anew when the window moves to a screen of another scale or the desktop's colours
    // change, and drawn over the window's own background, which shows through the transparent
    // pixels.
    const qreal scale = devicePixelRatioF();
    const QColor background = palette().color(QPalette::Window);
    const bool dark =
        window::IsDarkBackground(background.red(), background.green(), background.blue());
    if (banner_.isNull() || scale != bannerScale_ || dark != bannerDark_) {
        banner_ = pictures::Banner(scale, dark);
        bannerScale_ = scale;
        bannerDark_ = dark;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(0, 0, banner_);
}
