#include "vellicor/progress_shapes.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vellicor {
namespace {

// A shape as assistive technology sees it: a progress bar from 0 to 100 percent.
class ShapeAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ShapeAccessible(RectangleShape* shape)
        : QAccessibleWidget(shape, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return QStringLiteral("%1%").arg(shape()->percentDone());
        }
        return QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override { return shape()->percentDone(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    const RectangleShape* shape() const { return static_cast<const RectangleShape*>(widget()); }
};

// The bar as assistive technology sees it: nothing to announce, the track says it all.
class DecorationAccessible final : public QAccessibleWidget {
public:
    explicit DecorationAccessible(QWidget* shape) : QAccessibleWidget(shape, QAccessible::NoRole) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        return state;
    }
    QString text(QAccessible::Text) const override { return {}; }
};

QAccessibleInterface* shapeAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(RectangleShape::staticMetaObject.className())) {
        return nullptr;
    }
    auto* shape = static_cast<RectangleShape*>(object);
    if (shape->part() == RectangleShape::Part::bar) {
        return new DecorationAccessible(shape);
    }
    return new ShapeAccessible(shape);
}

int dpiOf(const QWidget& widget) {
    return widget.logicalDpiX();
}

}  // namespace

RectangleShape::RectangleShape(Part part, QWidget* parent) : QWidget(parent), part_(part) {
    static const bool installed = [] {
        QAccessible::installFactory(shapeAccessible);
        return true;
    }();
    Q_UNUSED(installed);
    setFocusPolicy(Qt::NoFocus);
}

void RectangleShape::showProgressOf(QWidget* track, QWidget* bar) {
    track_ = track;
    bar_ = bar;
}

int RectangleShape::percentDone() const {
    if (!track_ || !bar_ || track_->width() <= 0) {
        return 0;
    }
    // The last update draws the bar slightly wider than the track: that is still 100.
    return std::clamp(bar_->width() * 100 / track_->width(), 0, 100);
}

bool RectangleShape::darkPalette() const {
    return palette().color(QPalette::Window).lightness() <
           palette().color(QPalette::WindowText).lightness();
}

QColor RectangleShape::fill() const {
    if (part_ == Part::track) {
        return darkPalette() ? palette().color(QPalette::Base) : QColor(Qt::white);
    }
    return darkPalette() ? palette().color(QPalette::Highlight) : QColor(Qt::blue);
}

void RectangleShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(darkPalette() ? palette().color(QPalette::Mid) : QColor(Qt::black), 0));
    painter.setBrush(fill());
    // A cosmetic pen draws the border on the rectangle's last row and column.
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

ShapeProgress::ShapeProgress(RectangleShape& track, RectangleShape& bar)
    : track_(track), bar_(bar) {
    track.showProgressOf(&track, &bar);
    bar.showProgressOf(&track, &bar);
}

float ShapeProgress::trackWidth() const {
    return static_cast<float>(track_.width() * double{kTwipsPerInch} / dpiOf(track_));
}

void ShapeProgress::setBarWidth(float width) {
    const int before = bar_.percentDone();
    bar_.resize(std::max(0, twipsToPixels(static_cast<double>(width), dpiOf(bar_))), bar_.height());
    if (const int after = bar_.percentDone(); after != before) {
        QAccessibleValueChangeEvent event(&track_, after);
        QAccessible::updateAccessibility(&event);
    }
}

void ShapeProgress::show(std::int64_t done, std::int64_t total) {
    setBarWidth(static_cast<float>(progressBarTwips(trackWidth(), done, total)));
}

}  // namespace vellicor
