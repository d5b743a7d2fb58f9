#include "app/parlotextstyle.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

#include <functional>
#include <optional>

namespace {

// An icon that is made by the function given the first time it is painted or measured, and
// from then on is that icon.
class DeferredIconEngine final : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> make)
        : m_make(std::move(make))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    // Asked when buttons are laid out; answering must not make the icon. The style's own
    // pictures of these buttons are never empty.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("ParlotextDeferredIconEngine"); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon& icon()
    {
        if (!m_icon)
            m_icon = m_make();
        return *m_icon;
    }

    std::function<QIcon()> m_make;
    std::optional<QIcon> m_icon;
};

} // namespace

QIcon ParlotextStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                   const QWidget* widget) const
{
    if (standardIcon != SP_ToolBarHorizontalExtensionButton &&
        standardIcon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    // The arrow points the way of writing; that is taken now, as the base style would.
    QStyleOption now;
    now.direction = option ? option->direction : QGuiApplication::layoutDirection();
    const QPointer<const ParlotextStyle> style(this);
    return QIcon(new DeferredIconEngine([style, standardIcon, now] {
        return style ? style->QProxyStyle::standardIcon(standardIcon, &now) : QIcon();
    }));
}
