#include "ui/DesignScale.h"

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace ui {

namespace {
constexpr int kMinRowGap = 8;
}  // namespace

double designScale(const QFont& font) {
    const QFontMetrics metrics(font);
    return std::max(1.0, static_cast<double>(metrics.height() + kMinRowGap) / kDesignRowPitch);
}

int scaled(int designPixels, double scale) { return static_cast<int>(std::lround(designPixels * scale)); }

int buttonHeight(const QFont& font, double scale) {
    return std::max(scaled(25, scale), QFontMetrics(font).height() + 10);
}

void growToFit(QWidget& window, int rightMargin) {
    int needed = 0;
    for (const QWidget* child : window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        needed = std::max(needed, child->geometry().right() + 1 + rightMargin);
    }
    window.setMinimumWidth(std::max(needed, window.minimumWidth()));
    if (needed > window.width()) window.resize(needed, window.height());
}

}  // namespace ui
