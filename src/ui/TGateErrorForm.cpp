#include "ui/TGateErrorForm.h"

#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

TGateErrorForm::TGateErrorForm(const QImage& picture, const QColor& background, const QColor& text,
                               std::function<void()> onClose, QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint),
      m_onClose(std::move(onClose)), Image1(new QLabel(this)), Label1(new QLabel(this)),
      CloseButton(new QPushButton(QStringLiteral("閉じる(&C)"), this))
{
    setObjectName(QStringLiteral("GateErrorForm"));
    setWindowTitle(QStringLiteral("接続エラー"));

    QPalette colours = palette();
    colours.setColor(QPalette::Window, background);
    colours.setColor(QPalette::WindowText, text);
    setPalette(colours);
    setAutoFillBackground(true);

    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(kPictureSize, kPictureSize);
    if (!picture.isNull())
        Image1->setPixmap(QPixmap::fromImage(
            picture.scaled(kPictureSize, kPictureSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setMinimumWidth(kPictureSize * 2);

    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setDefault(true);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(Image1, 0, Qt::AlignVCenter);
    row->addWidget(Label1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CloseButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
    // The window keeps the size of its contents; the operator cannot resize it.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_frontTimer.setInterval(kFrontIntervalMs);
    connect(&m_frontTimer, &QTimer::timeout, this, &TGateErrorForm::FrontTimerTimer);
}

void TGateErrorForm::setMessage(const QString& text, int fontSize)
{
    QFont font = Label1->font();
    font.setPointSize(fontSize > 0 ? fontSize : 1);
    Label1->setFont(font);
    // The composed text breaks its lines with a lone CR.
    QString lines = text;
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Label1->setText(lines);
    adjustSize();
}

QString TGateErrorForm::message() const
{
    return Label1->text();
}

int TGateErrorForm::messageFontSize() const
{
    return Label1->font().pointSize();
}

void TGateErrorForm::showCentred()
{
    adjustSize();
    if (QWidget* owner = parentWidget()) {
        const QRect area = owner->frameGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
    m_closed = false;
    show();
    raise();
    m_frontTimer.start();
}

void TGateErrorForm::closeWindow()
{
    done(QDialog::Rejected);
}

void TGateErrorForm::done(int result)
{
    m_frontTimer.stop();
    m_closed = true;
    QDialog::done(result);
    if (m_onClose)
        m_onClose();
}

void TGateErrorForm::FrontTimerTimer()
{
    if (isVisible())
        raise();
}
