#include "platform/ImageTint.h"
#include "platform/WindowPlacement.h"

#include <QSize>

#include <gtest/gtest.h>

TEST(WindowPlacement, WindowOnAMonitorThatIsGoneMovesToTheOrigin)
{
    const QList<QRect> single{QRect(0, 0, 1920, 1040)};
    EXPECT_EQ(WindowPlacement::place(QRect(5000, 100, 698, 767), single), QPoint(0, 0));
    EXPECT_EQ(WindowPlacement::place(QRect(100, 100, 698, 767), single), QPoint(100, 100));
    const QList<QRect> two{QRect(0, 0, 1920, 1040), QRect(1920, 0, 1280, 984)};
    EXPECT_EQ(WindowPlacement::place(QRect(2000, 50, 698, 767), two), QPoint(2000, 50));
    EXPECT_EQ(WindowPlacement::place(QRect(100, 100, 698, 767), {}), QPoint(0, 0));
}

TEST(WindowPlacement, EightPixelsOfOverhangStillFit)
{
    const QRect area(0, 0, 1920, 1040);
    struct Case
    {
        QRect window;
        bool fits;
    };
    const Case cases[] = {
        {QRect(-8, 0, 800, 600), true},   {QRect(1128, 0, 800, 600), true},  {QRect(1129, 0, 800, 600), false},
        {QRect(0, 448, 800, 600), true},  {QRect(0, 449, 800, 600), false},  {QRect(0, 0, 1921, 600), true},
        {QRect(0, 0, 1922, 600), false},  {QRect(0, 0, 800, 1042), false},   {QRect(-900, 0, 800, 600), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowPlacement::fits(c.window, area), c.fits)
            << c.window.x() << "," << c.window.y() << " " << c.window.width() << "x" << c.window.height();
}

TEST(WindowPlacement, ResizeKeepsTheShape)
{
    EXPECT_EQ(WindowPlacement::keepShape(QSize(800, 800)), QSize(968, 800));
    EXPECT_EQ(WindowPlacement::keepShape(QSize(1200, 500)), QSize(1200, 612));
    EXPECT_EQ(WindowPlacement::keepShape(QSize(1000, 700)), QSize(1000, 700));
    // 350 x 1.21 = 423.5 rounds to the even 424; 50 x 1.21 = 60.5 rounds to 60.
    EXPECT_EQ(WindowPlacement::keepShape(QSize(300, 350)).width(), 424);
    EXPECT_EQ(WindowPlacement::keepShape(QSize(10, 50)).width(), 60);
}

TEST(ImageTint, GreysTakeTheWindowColourAndColoursStay)
{
    QImage image(3, 1, QImage::Format_RGB888);
    image.setPixelColor(0, 0, QColor(255, 255, 255));
    image.setPixelColor(1, 0, QColor(100, 120, 90));
    image.setPixelColor(2, 0, QColor(200, 20, 20));
    const QImage tinted = tintGreys(image, 236 + 246 * 256 + 255 * 65536);
    EXPECT_EQ(tinted.format(), QImage::Format_RGB888);
    EXPECT_EQ(tinted.pixelColor(0, 0), QColor(236, 246, 255));
    // m = 310 / 3 = 103: 103*236/255 = 95, 103*246/255 = 99, 103*255/255 = 103.
    EXPECT_EQ(tinted.pixelColor(1, 0), QColor(95, 99, 103));
    EXPECT_EQ(tinted.pixelColor(2, 0), QColor(200, 20, 20));
}
