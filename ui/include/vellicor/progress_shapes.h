// The progress display: two filled rectangles (a track and a bar drawn over it) and the
// adapter that turns the codec's progress into the bar's width.
#pragma once

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <cstdint>

#include "lzc/progress.h"

namespace vellicor {

// The window's lengths are twips, 1440 to the inch; on screen they follow the screen's logical
// DPI (15 twips to the pixel at 96 DPI), and Qt's high-DPI scaling maps logical pixels to the
// device.
inline constexpr int kTwipsPerInch = 1440;
// Twips to logical pixels at `dpi`, rounded down.
int twipsToPixels(double twips, double dpi);
QRect twipsRect(const QRect& twips, double dpi);

// A rectangle with a solid fill and a thin dark border. To assistive technology it is a
// progress bar whose value is the share of the track that the bar covers, in percent.
class RectangleShape final : public QWidget {
    Q_OBJECT

public:
    RectangleShape(QColor fill, QWidget* parent);

    // The track and the bar whose widths give the value.
    void showProgressOf(QWidget* track, QWidget* bar);
    int percentDone() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
    QPointer<QWidget> track_;
    QPointer<QWidget> bar_;
};

// Shows an operation's progress on two shapes: each report sets the bar to
// floor(trackWidth * done / total) twips and lets the window handle its pending events. The last
// report stands past the end, so the bar then comes out slightly wider than the track.
class ShapeProgress final {
public:
    ShapeProgress(RectangleShape& track, RectangleShape& bar);

    // Both in twips.
    float trackWidth() const;
    void setBarWidth(float width);
    // A callback that reports to this display, for the codec.
    lzc::ProgressCallback callback();

private:
    RectangleShape& track_;
    RectangleShape& bar_;
};

}  // namespace vellicor
