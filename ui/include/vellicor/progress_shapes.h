// The progress display: two filled rectangles (a track and a bar drawn over it) and the
// adapter through which the codec reaches them.
#pragma once

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QWidget>

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

// Shows an operation's progress on two shapes: the codec reads the track's width and sets the
// bar's width, both in twips, and between updates the window handles its pending events.
class ShapeProgress final : public lzc::ProgressPair {
public:
    ShapeProgress(RectangleShape& track, RectangleShape& bar);

    bool hasTrack() const override { return true; }
    float trackWidth() const override;
    void setBarWidth(float width) override;
    void processEvents() override;

private:
    RectangleShape& track_;
    RectangleShape& bar_;
};

}  // namespace vellicor
