// The progress display: two filled rectangles, a track and a bar drawn over it, in the colours
// and at the width the core decides.
#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

#include "vellicor/window_model.h"

namespace vellicor {

// A rectangle with a solid fill and a thin border. To assistive technology the track is a
// progress bar whose value is the percentage the core gave with the bar's width; the bar is
// decoration, which it ignores.
class RectangleShape final : public QWidget {
    Q_OBJECT

public:
    enum class Part { track, bar };
    RectangleShape(Part part, QWidget* parent);

    Part part() const { return part_; }
    // The palette as the core's colour roles see it: dark when the window is darker than its
    // text.
    Theme theme() const;
    QColor fill() const;
    int percent() const { return percent_; }
    void setPercent(int percent) { percent_ = percent; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour(ColourRole role) const;

    Part part_;
    int percent_ = 0;
};

// Shows the core's progress bar on the two shapes.
class ShapeProgress final {
public:
    ShapeProgress(RectangleShape& track, RectangleShape& bar);

    double trackTwips() const;
    void show(const ProgressBar& bar);

private:
    RectangleShape& track_;
    RectangleShape& bar_;
};

}  // namespace vellicor
