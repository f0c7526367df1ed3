// The rating control: five stars drawn by hand, the keys and clicks that set them, and what
// assistive technology reads of them.
#include "window/RatingStars.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QtMath>

namespace reelkeep {

namespace {

constexpr int Stars = RatingStars::Highest / 2;
/// Around the stars, between two of them, and between the stars and the rating in words.
constexpr int Margin = 4;
constexpr int Gap = 2;
constexpr int TextGap = 8;

/// A five-pointed star filling a square.
QPainterPath starPath(const QRectF& square)
{
    QPainterPath path;
    const QPointF centre = square.center();
    const qreal outer = square.width() / 2;
    for (int point = 0; point < 10; ++point) {
        const qreal radius = point % 2 == 0 ? outer : outer * 0.4;
        const qreal angle = qDegreesToRadians(-90.0 + point * 36.0);
        const QPointF corner = centre + QPointF(radius * qCos(angle), radius * qSin(angle));
        if (point == 0)
            path.moveTo(corner);
        else
            path.lineTo(corner);
    }
    path.closeSubpath();
    return path;
}

} // namespace

/// Assistive technology reads the stars as a slider from 0 to 10 whose value is the rating, and may
/// set it.
class RatingStarsAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit RatingStarsAccessible(QWidget* stars)
        : QAccessibleWidget(stars, QAccessible::Slider)
    {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Value ? stars()->valueText() : QAccessibleWidget::text(type);
    }
    QVariant currentValue() const override
    {
        return stars()->value() == RatingStars::None ? QVariant() : QVariant(stars()->value());
    }
    void setCurrentValue(const QVariant& value) override
    {
        stars()->edit(value.isValid() ? qBound(0, value.toInt(), int(RatingStars::Highest))
                                      : RatingStars::None);
    }
    QVariant maximumValue() const override { return RatingStars::Highest; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    RatingStars* stars() const { return static_cast<RatingStars*>(widget()); }
};

namespace {

QAccessibleInterface* accessibleStars(const QString& className, QObject* object)
{
    if (className == QLatin1String(RatingStars::staticMetaObject.className()) && object->isWidgetType())
        return new RatingStarsAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

RatingStars::RatingStars(QWidget* parent)
    : QWidget(parent)
{
    static const bool accessible = (QAccessible::installFactory(accessibleStars), true);
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setToolTip(QStringLiteral("A rating from 0 to 10: each half star is one point. "
                              "Arrow keys change it, Delete takes it away."));
}

void RatingStars::setValue(int value)
{
    if (value == m_value)
        return;
    m_value = value;
    update();
    QAccessibleValueChangeEvent changed(this, value == None ? QVariant() : QVariant(value));
    QAccessible::updateAccessibility(&changed);
}

void RatingStars::edit(int value)
{
    if (value == m_value)
        return;
    setValue(value);
    emit edited();
}

QString RatingStars::valueText() const
{
    return m_value == None ? QStringLiteral("no rating")
                           : QStringLiteral("%1 of %2").arg(m_value).arg(Highest);
}

int RatingStars::starSize() const
{
    return fontMetrics().height() * 5 / 4;
}

QRectF RatingStars::starSquare(int star) const
{
    return QRectF(Margin + star * (starSize() + Gap), Margin, starSize(), starSize());
}

int RatingStars::textLeft() const
{
    return Margin + Stars * (starSize() + Gap) + TextGap;
}

QSize RatingStars::sizeHint() const
{
    const int text = qMax(fontMetrics().horizontalAdvance(QStringLiteral("10 of 10")),
                          fontMetrics().horizontalAdvance(QStringLiteral("no rating")));
    return {textLeft() + text + Margin, starSize() + 2 * Margin};
}

void RatingStars::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor filled = palette().color(QPalette::Highlight);
    for (int star = 0; star < Stars; ++star) {
        const QRectF square = starSquare(star);
        const QPainterPath path = starPath(square);
        // Points 2 star + 1 and 2 star + 2 fill the star's left and right halves.
        const int points = m_value == None ? 0 : qBound(0, m_value - 2 * star, 2);
        if (points > 0) {
            painter.save();
            painter.setClipRect(
                QRectF(square.left(), square.top(), square.width() * points / 2, square.height()));
            painter.fillPath(path, filled);
            painter.restore();
        }
        painter.setPen(QPen(palette().color(isEnabled() ? QPalette::Text : QPalette::PlaceholderText), 1));
        painter.drawPath(path);
    }
    const QRect text(textLeft(), 0, width() - textLeft(), height());
    painter.setPen(palette().color(m_value == None ? QPalette::PlaceholderText : QPalette::Text));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, valueText());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

std::optional<int> RatingStars::valueOfKey(const QKeyEvent& event) const
{
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return std::nullopt;
    switch (event.key()) {
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Plus:
        return qMin(m_value + 1, int(Highest));
    case Qt::Key_Left:
    case Qt::Key_Down:
    case Qt::Key_Minus:
        return qMax(m_value - 1, int(None));
    case Qt::Key_Home:
        return 0;
    case Qt::Key_End:
        return Highest;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        return None;
    default:
        if (event.key() >= Qt::Key_0 && event.key() <= Qt::Key_9)
            return event.key() - Qt::Key_0;
        return std::nullopt;
    }
}

bool RatingStars::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && valueOfKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void RatingStars::keyPressEvent(QKeyEvent* event)
{
    if (const std::optional<int> value = valueOfKey(*event))
        edit(*value);
    else
        QWidget::keyPressEvent(event);
}

void RatingStars::mousePressEvent(QMouseEvent* event)
{
    const qreal x = event->position().x();
    const int star = int((x - Margin) / (starSize() + Gap));
    if (event->button() != Qt::LeftButton || x < Margin || star >= Stars) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int value = 2 * star + (x < starSquare(star).center().x() ? 1 : 2);
    edit(value == m_value ? None : value);
}

} // namespace reelkeep
