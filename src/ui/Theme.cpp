#include "ui/Theme.h"

#include <QApplication>
#include <QPalette>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>

namespace brevanto {
namespace {

QPalette DarkPalette() {
  const QColor window(45, 45, 48);
  const QColor base(30, 30, 30);
  const QColor text(230, 230, 230);
  const QColor disabled(128, 128, 128);
  QPalette p;
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::ToolTipBase, window);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, window);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, Qt::red);
  p.setColor(QPalette::Link, QColor(90, 160, 255));
  p.setColor(QPalette::Highlight, QColor(38, 79, 120));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::PlaceholderText, disabled);
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    p.setColor(QPalette::Disabled, role, disabled);
  }
  return p;
}

// Qt 6's menus measure an item a little narrower than the styles draw it
// with CJK fonts, so the longest item of a menu was shown elided; the extra
// room keeps every item whole.
class WholeMenuItemsStyle final : public QProxyStyle {
 public:
  explicit WholeMenuItemsStyle(QStyle* base) : QProxyStyle(base) {}

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override {
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_MenuItem && option != nullptr) result.rwidth() += option->fontMetrics.height();
    return result;
  }
};

// The style the platform chose before any theme was applied.
const QString& PlatformStyleName() {
  static const QString name = QApplication::style()->name();
  return name;
}

}  // namespace

void ApplyTheme(bool dark) {
  const QString platform = PlatformStyleName();
  if (dark) {
    QApplication::setStyle(
        new WholeMenuItemsStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    QApplication::setPalette(DarkPalette());
  } else {
    QApplication::setStyle(new WholeMenuItemsStyle(QStyleFactory::create(platform)));
    QApplication::setPalette(QApplication::style()->standardPalette());
  }
}

QString ThemeStyleName() {
  QStyle* style = QApplication::style();
  if (auto* wrapper = qobject_cast<QProxyStyle*>(style)) style = wrapper->baseStyle();
  return style->name();
}

}  // namespace brevanto
