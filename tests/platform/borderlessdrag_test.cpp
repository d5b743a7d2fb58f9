// The drag of the windows without a title bar: which buttons move them.
#include "platform/borderlessdrag.h"

#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QMouseEvent mouseEvent(QEvent::Type type, QPoint global, Qt::MouseButton button,
                       Qt::MouseButtons held)
{
    return QMouseEvent(type, QPointF(global), QPointF(global), button, held, Qt::NoModifier);
}

struct ButtonCase {
    const char* name;
    Qt::MouseButton button;
    bool drags;
};

void PrintTo(const ButtonCase& c, std::ostream* os)
{
    *os << c.name;
}

class BorderlessDragButtonTest : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(BorderlessDragButtonTest, OnlyTheLeftButtonMovesTheWindow)
{
    const ButtonCase& c = GetParam();
    QWidget window;
    window.move(100, 100);
    const QPoint start = window.pos();
    BorderlessDrag drag(window);

    QMouseEvent press = mouseEvent(QEvent::MouseButtonPress, {10, 10}, c.button, c.button);
    drag.press(&press);
    EXPECT_EQ(drag.isDragging(), c.drags);
    QMouseEvent move = mouseEvent(QEvent::MouseMove, {40, 25}, Qt::NoButton, c.button);
    drag.move(&move);
    EXPECT_EQ(window.pos(), c.drags ? start + QPoint(30, 15) : start);
    QMouseEvent release = mouseEvent(QEvent::MouseButtonRelease, {40, 25}, c.button, {});
    drag.release(&release);
    EXPECT_FALSE(drag.isDragging());
}

INSTANTIATE_TEST_SUITE_P(Buttons, BorderlessDragButtonTest,
                         ::testing::Values(ButtonCase{"left", Qt::LeftButton, true},
                                           ButtonCase{"middle", Qt::MiddleButton, false},
                                           ButtonCase{"right", Qt::RightButton, false},
                                           ButtonCase{"back", Qt::BackButton, false},
                                           ButtonCase{"forward", Qt::ForwardButton, false}));

TEST(BorderlessDrag, AnotherButtonNeitherEndsNorRestartsALeftDrag)
{
    QWidget window;
    window.move(100, 100);
    const QPoint start = window.pos();
    BorderlessDrag drag(window);

    QMouseEvent press =
        mouseEvent(QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    drag.press(&press);
    const Qt::MouseButtons both = Qt::LeftButton | Qt::MiddleButton;
    QMouseEvent middlePress =
        mouseEvent(QEvent::MouseButtonPress, {20, 10}, Qt::MiddleButton, both);
    drag.press(&middlePress);
    QMouseEvent middleRelease =
        mouseEvent(QEvent::MouseButtonRelease, {20, 10}, Qt::MiddleButton, Qt::LeftButton);
    drag.release(&middleRelease);
    EXPECT_TRUE(drag.isDragging());
    QMouseEvent move = mouseEvent(QEvent::MouseMove, {30, 30}, Qt::NoButton, Qt::LeftButton);
    drag.move(&move);
    // Measured from the last point of the left drag, not from the middle press.
    EXPECT_EQ(window.pos(), start + QPoint(20, 20));
    QMouseEvent release = mouseEvent(QEvent::MouseButtonRelease, {30, 30}, Qt::LeftButton, {});
    drag.release(&release);
    EXPECT_FALSE(drag.isDragging());
}

} // namespace
