// The progress display: two filled rectangles (a track and a bar drawn over it) and the
// adapter through which the codec reaches them.
#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

#include "lzc/progress.h"

namespace vellicor {

// The window's lengths are twips; on screen one logical pixel is 15 twips, and Qt's high-DPI
// scaling maps logical pixels to the device.
inline constexpr int kTwipsPerPixel = 15;
// Twips to logical pixels, rounded down.
int twipsToPixels(double twips);
QRect twipsRect(int left, int top, int width, int height);

// A rectangle with a solid fill and a thin dark border.
class RectangleShape final : public QWidget {
public:
    RectangleShape(QColor fill, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
};

// Shows an operation's progress on two shapes: the codec reads the track's width and sets the
// bar's width, both in twips, and between updates the window handles its pending events.
class ShapeProgress final : public lzc::ProgressPair {
public:
    ShapeProgress(QWidget& track, QWidget& bar) : track_(track), bar_(bar) {}

    bool hasTrack() const override { return true; }
    float trackWidth() const override;
    void setBarWidth(float width) override;
    void processEvents() override;

private:
    QWidget& track_;
    QWidget& bar_;
};

}  // namespace vellicor
