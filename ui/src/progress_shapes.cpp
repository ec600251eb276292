#include "vellicor/progress_shapes.h"

#include <QCoreApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vellicor {

int twipsToPixels(double twips) {
    return static_cast<int>(std::floor(twips / kTwipsPerPixel));
}

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

RectangleShape::RectangleShape(QColor fill, QWidget* parent) : QWidget(parent), fill_(fill) {
    setFocusPolicy(Qt::NoFocus);
}

void RectangleShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(fill_);
    // A cosmetic pen draws the border on the rectangle's last row and column.
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

float ShapeProgress::trackWidth() const {
    return static_cast<float>(track_.width() * kTwipsPerPixel);
}

void ShapeProgress::setBarWidth(float width) {
    bar_.resize(std::max(0, twipsToPixels(static_cast<double>(width))), bar_.height());
}

void ShapeProgress::processEvents() {
    QCoreApplication::processEvents();
}

}  // namespace vellicor
