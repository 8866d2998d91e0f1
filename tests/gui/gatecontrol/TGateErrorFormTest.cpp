#include "ui/TGateErrorForm.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class GateErrorFormTest : public ::testing::Test
{
protected:
    GateErrorFormTest()
    {
        window.setGeometry(200, 150, 900, 700);
        window.show();
        QImage picture(32, 24, QImage::Format_RGB32);
        picture.fill(Qt::red);
        form = std::make_unique<TGateErrorForm>(
            picture, QColor(236, 246, 255), QColor(10, 20, 30), [this] { ++closes; }, &window);
        form->setMessage(QStringLiteral("正面及び\r通用口が接続されていません!!"), 22);
    }

    QMainWindow window;
    std::unique_ptr<TGateErrorForm> form;
    int closes = 0;
};

TEST_F(GateErrorFormTest, ShowsCaptionPictureTextAndColours)
{
    form->showCentred();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("接続エラー"));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(form->isClosed());

    const auto* picture = form->findChild<QLabel*>(QStringLiteral("Image1"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixmap().size(), QSize(128, 128));
    EXPECT_EQ(picture->pixmap().toImage().pixelColor(64, 64), QColor(Qt::red));

    EXPECT_EQ(form->message(), QStringLiteral("正面及び\n通用口が接続されていません!!"));
    EXPECT_EQ(form->messageFontSize(), 22);
    const auto* button = form->findChild<QPushButton*>(QStringLiteral("CloseButton"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("閉じる(&C)"));
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(236, 246, 255));
    EXPECT_EQ(form->palette().color(QPalette::WindowText), QColor(10, 20, 30));

    // Fixed size, centred on the main window.
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_LE((form->frameGeometry().center() - window.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_TRUE(form->frontTimer().isActive());
    EXPECT_EQ(form->frontTimer().interval(), 1);
}

TEST_F(GateErrorFormTest, EscButtonAndWindowCloseEachCloseOnceAndCallBack)
{
    const auto closeBy = [&](int way) {
        switch (way) {
        case 0:
            QTest::keyClick(form.get(), Qt::Key_Escape);
            break;
        case 1:
            form->findChild<QPushButton*>(QStringLiteral("CloseButton"))->click();
            break;
        default:
            form->close();
        }
    };
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        closes = 0;
        form->showCentred();
        closeBy(way);
        EXPECT_EQ(closes, 1);
        EXPECT_TRUE(form->isClosed());
        EXPECT_FALSE(form->isVisible());
        EXPECT_FALSE(form->frontTimer().isActive());
        // The sequence closes the hidden window once no gate is left to list: it hands over again.
        form->closeWindow();
        EXPECT_EQ(closes, 2);
        EXPECT_FALSE(form->isVisible());
        EXPECT_FALSE(form->frontTimer().isActive());
    }
}

TEST_F(GateErrorFormTest, NewTextOnAShownWindowKeepsItOpen)
{
    form->showCentred();
    form->setMessage(QStringLiteral("閲覧室が接続されていません!!"), 25);
    EXPECT_EQ(form->messageFontSize(), 25);
    EXPECT_FALSE(form->isClosed());
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
}

} // namespace
