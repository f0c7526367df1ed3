// A rating from 0 to 10 as five stars, each half a star one point, or no rating at all; operated
// with the mouse or the keyboard, and read by assistive technology as a number.
#pragma once

#include <QWidget>

#include <optional>

namespace reelkeep {

class RatingStars : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Highest = 10;
    /// The value of no rating, which differs from a rating of 0.
    static constexpr int None = -1;

    explicit RatingStars(QWidget* parent = nullptr);

    /// The rating from 0 to 10, or None.
    int value() const { return m_value; }
    void setValue(int value);
    /// The rating in words: "7 of 10", "no rating".
    QString valueText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    /// The user changed the rating.
    void edited();

protected:
    /// The keys the control takes are its own, whatever shortcut the window gives them.
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    /// Right and Up give one point more, Left and Down one less (below 0, no rating); Home gives 0,
    /// End 10, a digit its value, Delete and Backspace no rating.
    void keyPressEvent(QKeyEvent* event) override;
    /// A click on the left half of a star gives its odd point, on the right half its even one; a
    /// click on the rating shown takes it away.
    void mousePressEvent(QMouseEvent* event) override;

private:
    friend class RatingStarsAccessible;

    int starSize() const;
    /// Where a star (0 to 4) is drawn.
    QRectF starSquare(int star) const;
    /// Where the rating in words begins.
    int textLeft() const;
    /// What a key asks for, or nothing for a key the control leaves to others.
    std::optional<int> valueOfKey(const QKeyEvent& event) const;
    void edit(int value);

    int m_value = None;
};

} // namespace reelkeep
