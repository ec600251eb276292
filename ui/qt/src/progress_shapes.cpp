#include "vellicor/progress_shapes.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPainter>
#include <algorithm>

#include "vellicor/form_layout.h"

namespace vellicor {
namespace {

// The track as assistive technology sees it: a progress bar from 0 to 100 percent.
class TrackAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TrackAccessible(RectangleShape* shape)
        : QAccessibleWidget(shape, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return QStringLiteral("%1%").arg(shape()->percent());
        }
        return QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override { return shape()->percent(); }
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
    return new TrackAccessible(shape);
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

Theme RectangleShape::theme() const {
    return palette().color(QPalette::Window).lightness() <
                   palette().color(QPalette::WindowText).lightness()
               ? Theme::dark
               : Theme::light;
}

QColor RectangleShape::colour(ColourRole role) const {
    switch (role) {
        case ColourRole::white:
            return Qt::white;
        case ColourRole::blue:
            return Qt::blue;
        case ColourRole::black:
            return Qt::black;
        case ColourRole::base:
            return palette().color(QPalette::Base);
        case ColourRole::highlight:
            return palette().color(QPalette::Highlight);
        case ColourRole::mid:
            return palette().color(QPalette::Mid);
        case ColourRole::window:
            return palette().color(QPalette::Window);
        case ColourRole::windowText:
            return palette().color(QPalette::WindowText);
    }
    return {};
}

QColor RectangleShape::fill() const {
    const ProgressColours colours = progressColours(theme());
    return colour(part_ == Part::track ? colours.track : colours.bar);
}

void RectangleShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(colour(progressColours(theme()).border), 0));
    painter.setBrush(fill());
    // A cosmetic pen draws the border on the rectangle's last row and column.
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

ShapeProgress::ShapeProgress(RectangleShape& track, RectangleShape& bar)
    : track_(track), bar_(bar) {}

double ShapeProgress::trackTwips() const {
    return track_.width() * double{kTwipsPerInch} / track_.logicalDpiX();
}

void ShapeProgress::show(const ProgressBar& bar) {
    bar_.resize(std::max(0, twipsToPixels(bar.widthTwips, bar_.logicalDpiX())), bar_.height());
    if (bar.percent != track_.percent()) {
        track_.setPercent(bar.percent);
        QAccessibleValueChangeEvent event(&track_, bar.percent);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace vellicor
