#pragma once

#include <QImage>
#include <QList>
#include <QWidget>

#include <string_view>

#include "window/converter_logic.h"

class QLineEdit;

// The converter window, laid out from its description: it reports what happens to the shared
// event logic, with the texts as they stand, and shows what the logic answers.
class ConverterWindow : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double rel READ rel WRITE setRel)

  public:
    // Numbers are read and written in the format of the user's system locale.
    explicit ConverterWindow(QWidget* parent = nullptr);

    double rel() const { return logic_.rel(); }
    void setRel(double value) { logic_.setRel(value); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void AddControl(const window::ControlDescription& control);
    QWidget* ControlNamed(std::string_view name) const;
    // Shows what the logic answers to an event reported with the fields' texts as they stand.
    template <typename Event, typename... Arguments>
    void Report(Event happened, Arguments&&... arguments);
    void Show(const window::Reaction& reaction);

    window::ConverterLogic logic_;
    QList<QLineEdit*> inputFields_;  // temperature, humidity
    QWidget* announcer_ = nullptr;
    QImage banner_;  // chosen at the first paint
    qreal bannerScale_ = 0;
    bool bannerDark_ = false;
};
