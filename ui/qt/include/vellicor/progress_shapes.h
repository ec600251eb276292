// The progress display: two filled rectangles, a track and a bar drawn over it.
#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <cstdint>

#include "vellicor/form_layout.h"

namespace vellicor {

// A rectangle with a solid fill and a thin border. To assistive technology the track is a
// progress bar whose value is the share of the track that the bar covers, in percent; the bar is
// decoration, which it ignores.
class RectangleShape final : public QWidget {
    Q_OBJECT

public:
    enum class Part { track, bar };
    RectangleShape(Part part, QWidget* parent);

    Part part() const { return part_; }
    // In a light palette the track is white and the bar blue; in a dark one (the window darker
    // than its text) they take the palette's Base and Highlight.
    QColor fill() const;
    // The track and the bar whose widths give the value.
    void showProgressOf(QWidget* track, QWidget* bar);
    int percentDone() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool darkPalette() const;

    Part part_;
    QPointer<QWidget> track_;
    QPointer<QWidget> bar_;
};

// Shows an operation's progress on two shapes: the bar covers progressBarTwips of the track. The
// last report stands past the end, so the bar then comes out slightly wider than the track.
class ShapeProgress final {
public:
    ShapeProgress(RectangleShape& track, RectangleShape& bar);

    // Both in twips.
    float trackWidth() const;
    void setBarWidth(float width);
    void show(std::int64_t done, std::int64_t total);

private:
    RectangleShape& track_;
    RectangleShape& bar_;
};

}  // namespace vellicor
