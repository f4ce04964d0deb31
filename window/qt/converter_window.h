#pragma once

#include <QImage>
#include <QList>
#include <QWidget>

#include <string>
#include <string_view>

#include "runtime/regional_settings.h"
#include "window/converter_logic.h"

class QLineEdit;

// The converter window, laid out from its description and driven by the shared event logic.
class ConverterWindow : public QWidget, public window::ConverterView {
    Q_OBJECT
    Q_PROPERTY(double rel READ rel WRITE setRel)

  public:
    // Numbers are read and written in the format of the user's system locale.
    explicit ConverterWindow(QWidget* parent = nullptr);

    double rel() const { return logic_.rel(); }
    void setRel(double value) { logic_.setRel(value); }

    std::string FieldText(std::string_view field) const override;
    void ShowResult(std::string_view text) override;
    void Close() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void AddControl(const window::ControlDescription& control);
    QWidget* ControlNamed(std::string_view name) const;
    bool IsInputField(const QObject* object) const;

    window::ConverterLogic logic_;
    QList<const QObject*> inputFields_;
    QWidget* announcer_ = nullptr;
    QImage banner_;  // chosen at the first paint
    qreal bannerScale_ = 0;
    bool bannerDark_ = false;
    bool handlingKey_ = false;
};
