#include "rooms/blocks/StarAwards.h"

#include "rooms/blocks/RoomBlocksResources.h"
#include "ui/common/ZmImageLabel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace {

const char kStarGrey[] = "QLabel{border-image: url(:/imageRes/image/res/star_grey.png);}";
const char kStarBright[] = "QLabel{border-image: url(:/imageRes/image/res/star_bright.png);}";
constexpr int kStarSide = 33;

} // namespace

StarAwards::StarAwards(QWidget* parent)
    : QWidget(parent)
{
    RoomBlocksResources::ensureLoaded();
    setObjectName(QStringLiteral("StarAwards"));
    resize(356, 249);

    auto* grid = new QGridLayout(this);
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    m_award = new QWidget(this);
    m_award->setObjectName(QStringLiteral("award"));
    m_award->setAttribute(Qt::WA_StyledBackground, true);
    m_award->setStyleSheet(QStringLiteral("QWidget#award\n{\n\tborder-image: url(:/imageRes/image/res/"
                                          "award_background.png);\n}"));
    grid->addWidget(m_award, 0, 0);

    m_portrait = new ZmImageLabel(m_award);
    m_portrait->setObjectName(QStringLiteral("portrait"));
    m_portrait->setGeometry(148, 51, 61, 61);

    m_name = new QLabel(m_award);
    m_name->setObjectName(QStringLiteral("label_name"));
    m_name->setGeometry(110, 120, 136, 21);
    m_name->setAlignment(Qt::AlignCenter);
    m_name->setStyleSheet(QStringLiteral("QLabel\n{\n\tfont: 16px \"Microsoft YaHei\";\n\tcolor: #FF713F;\n}"));
    m_name->setText(tr("Student"));

    m_starPanel = new QWidget(m_award);
    m_starPanel->setObjectName(QStringLiteral("star_panel"));
    m_starPanel->setGeometry(96, 165, 165, 33);
    m_starPanel->setMaximumSize(200, 50);
    auto* row = new QHBoxLayout(m_starPanel);
    row->setSpacing(0);
    row->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < kSlots; ++i) {
        m_stars[i] = new QLabel(m_starPanel);
        m_stars[i]->setObjectName(QStringLiteral("star_%1").arg(i + 1));
        m_stars[i]->setFixedSize(kStarSide, kStarSide);
        m_stars[i]->setStyleSheet(
            QStringLiteral("QLabel\n{\n\tborder-image: url(:/imageRes/image/res/star_grey.png);\n}"));
        row->addWidget(m_stars[i]);
    }
    // The card is grabbed without ever being shown: its layouts place their widgets now.
    grid->activate();
    row->activate();
}

StarAwards::~StarAwards() = default;

void StarAwards::setStarCount(int n)
{
    m_starCount = std::clamp(n, 0, int(kSlots));
    for (int i = 0; i < kSlots; ++i)
        m_stars[i]->setStyleSheet(QString::fromLatin1(i < m_starCount ? kStarBright : kStarGrey));
}

void StarAwards::setUserName(const QString& text)
{
    m_name->setText(text);
}

void StarAwards::setPortrait(const QString& imagePath)
{
    m_portrait->setPixmap(QPixmap(imagePath));
}

QPoint StarAwards::nextStarPos() const
{
    return m_starPanel->mapTo(this, QPoint(0, 0)) + QPoint(m_stars[0]->width() * m_starCount, 0);
}
