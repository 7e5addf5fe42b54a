#include "main/TabControl.h"

#include <QTabBar>
#include <algorithm>

#include "common/Twips.h"

namespace dz {
namespace {

constexpr int kTabRowHeightTwips = 330;

class EqualTabBar : public QTabBar {
 public:
  explicit EqualTabBar(QWidget* parent) : QTabBar(parent) {
    setExpanding(true);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
  }

 protected:
  QSize tabSizeHint(int index) const override {
    QSize size = QTabBar::tabSizeHint(index);
    const QWidget* tabs = parentWidget();
    if (tabs && count() > 0) size.setWidth(std::max(size.width(), (tabs->width() - 4) / count()));
    // The tab row stays below the pages' first frame captions (360 twips
    // from the control's top), as long as the caption font fits.
    size.setHeight(std::max(fontMetrics().height() + 4, TwipsToPixels(kTabRowHeightTwips)));
    return size;
  }
};

}  // namespace

TabControl::TabControl(QWidget* parent) : QTabWidget(parent) { setTabBar(new EqualTabBar(this)); }

}  // namespace dz
