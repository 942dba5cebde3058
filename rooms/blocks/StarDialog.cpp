#include "rooms/blocks/StarDialog.h"

#include "app/LogHandler.h"
#include "rooms/blocks/RoomBlocksResources.h"

#include <QDebug>
#include <QLabel>

namespace {

constexpr int kClickWindowMs = 1001;
constexpr int kMaxStars = 5;
constexpr int kCornerMargin = 10;
const QRect kIconAtRest(29, 3, 32, 32);
const QRect kIconHovered(26, 0, 38, 38);

} // namespace

StarDialog::StarDialog(QWidget* anchor)
    : TranslucentDialog(anchor)
    , m_lastClick(kClickWindowMs, ClickGate::Start::Open)
    , m_anchor(anchor)
{
    RoomBlocksResources::ensureLoaded();
    setObjectName(QStringLiteral("StarDialog"));
    resize(64, 38);

    m_starPanel = new QWidget(this);
    m_starPanel->setObjectName(QStringLiteral("starPanel"));
    m_starPanel->setGeometry(0, 0, 64, 38);
    m_starPanel->setFixedSize(64, 38);
    m_starPanel->setStyleSheet(QStringLiteral("background-color: rgba(255, 255, 255, 0);"));

    m_starLabel = new QLabel(m_starPanel);
    m_starLabel->setObjectName(QStringLiteral("starLabel"));
    m_starLabel->setGeometry(0, 6, 40, 26);
    QFont font(QStringLiteral("微软雅黑"), 10);
    font.setBold(true);
    font.setWeight(75);
    m_starLabel->setFont(font);
    m_starLabel->setAlignment(Qt::AlignCenter);
    m_starLabel->setStyleSheet(QStringLiteral("border-image: url(:/imageRes/image/res/starCountBG.png);color: rgb(255, "
                                              "255, 255);padding-left: -8px"));
    m_starLabel->setText(QStringLiteral("2"));

    m_starIcon = new QLabel(m_starPanel);
    m_starIcon->setObjectName(QStringLiteral("starIcon"));
    m_starIcon->setStyleSheet(QStringLiteral("border-image: url(:/imageRes/image/res/star38.png)"));
    m_starIcon->setGeometry(kIconAtRest);
}

StarDialog::~StarDialog() = default;

void StarDialog::setStarCount(int n)
{
    m_starLabel->setText(QString::number(n));
    if (n >= kMaxStars)
        EnableClick(false);
}

int StarDialog::starCount() const
{
    return m_starLabel->text().toInt();
}

void StarDialog::setVisibleByOpacity(bool visible)
{
    setWindowOpacity(visible ? 1.0 : 0.0);
}

void StarDialog::EnableClick(bool bEanable)
{
    if (bEanable && starCount() >= kMaxStars)
        return;
    if (!bEanable)
        m_starIcon->setGeometry(kIconAtRest);
    setEnabled(bEanable);
}

void StarDialog::EnableClick()
{
    EnableClick(true);
}

void StarDialog::onWindowRSizeMove()
{
    if (!m_anchor)
        return;
    const QPoint topLeft = m_anchor->mapToGlobal(QPoint(0, 0));
    qDebug().nospace() << "parentWidget.x = " << topLeft.x() << " parentWidget.y = " << topLeft.y()
                       << "parentWidget.width = " << m_anchor->width()
                       << " parentWidget->height= " << m_anchor->height();
    move(topLeft.x() + m_anchor->width() - width() - kCornerMargin, topLeft.y() + kCornerMargin);
}

void StarDialog::mousePressEvent(QMouseEvent* event)
{
    Q_UNUSED(event)
    if (!m_lastClick.tryAccept())
        return;
    logEmitSignal("sigUserStarClicked");
    emit sigUserStarClicked();
}

void StarDialog::enterEvent(QEvent* event)
{
    TranslucentDialog::enterEvent(event);
    if (isEnabled())
        m_starIcon->setGeometry(kIconHovered);
}

void StarDialog::leaveEvent(QEvent* event)
{
    TranslucentDialog::leaveEvent(event);
    m_starIcon->setGeometry(kIconAtRest);
}
