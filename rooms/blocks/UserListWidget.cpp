#include "rooms/blocks/UserListWidget.h"

#include "rooms/blocks/RoomBlocksResources.h"
#include "rooms/blocks/UserItemPanel.h"
#include "rooms/blocks/UserItemWidget.h"

#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>

namespace {

const char kScrollBarStyle[] =
    "QScrollBar:vertical {width:12px;border:none;}QScrollBar::handle:vertical "
    "{background:#75797C;min-height:20;}QScrollBar::handle:vertical:hover "
    "{background:#C1C4C7;}QScrollBar::add-page:vertical {background:#1A1C1E;}QScrollBar::sub-page:vertical "
    "{background:#1A1C1E;}";

} // namespace

UserListWidget::UserListWidget(QWidget* parent)
    : QWidget(parent)
{
    RoomBlocksResources::ensureLoaded();
    registerRoomMemberTypes();
    setObjectName(QStringLiteral("UserListWidget"));
    resize(291, 409);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("label_title"));
    m_title->setGeometry(0, 0, 291, 42);
    m_title->setMaximumHeight(42);
    m_title->setStyleSheet(
        QStringLiteral("QLabel#label_title{color:#FFFFFF;font:14px \"Microsoft YaHei UI\";padding-left:45px;"
                       "border-top-left-radius:5px;border-top-right-radius:5px;background-color: rgb(50,69,79);}"));
    m_title->setText(tr("Members(0)"));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("list_widget"));
    m_list->setGeometry(0, 42, 291, 367);
    m_list->setMinimumWidth(160);
    m_list->setMaximumWidth(320);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setStyleSheet(QStringLiteral(
        "QListWidget#list_widget{background-color:rgb(50, 69, 79);border:none;border-bottom-left-radius:5px;"
        "border-bottom-right-radius:5px;}QListWidget#list_widget::item:hover{background:transparent;}"
        "QListWidget#list_widget::item:selected{background:transparent;}"));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    m_handIcon = new QWidget(this);
    m_handIcon->setObjectName(QStringLiteral("hand_icon"));
    m_handIcon->setGeometry(14, 12, 18, 19);
    m_handIcon->setFixedSize(18, 19);
    m_handIcon->setAttribute(Qt::WA_StyledBackground, true);
    m_handIcon->setStyleSheet(QStringLiteral("border-image: url(:/imageRes/image/res/tilte_hand.png);"));

    m_list->verticalScrollBar()->setStyleSheet(QString::fromLatin1(kScrollBarStyle));
    m_list->setSortingEnabled(true);
    m_handIcon->hide();
    sortItems();
}

UserListWidget::~UserListWidget() = default;

UserItemWidget_Out* UserListWidget::addTeacher(const UserID_T& id, QString name, QString portraitUrl)
{
    auto* row = new UserItemWidget(this);
    row->setTeacher(id, name, portraitUrl);
    findOrCreateItem(id)->setWidget(row);
    return row;
}

UserItemWidget_Out* UserListWidget::addUser(const UserID_T& id, QString name, QString portraitUrl, int starPoints)
{
    auto* row = new UserItemWidget(this);
    row->setStudent(id, name, portraitUrl, starPoints);
    findOrCreateItem(id)->setWidget(row);
    return row;
}

UserItemPanel* UserListWidget::findItem(UserID_T id) const
{
    for (int i = 0; i < m_list->count(); ++i) {
        auto* item = dynamic_cast<UserItemPanel*>(m_list->item(i));
        if (item && item->widget() && item->widget()->userId() == id)
            return item;
    }
    return nullptr;
}

UserItemPanel* UserListWidget::findOrCreateItem(const UserID_T& id)
{
    if (UserItemPanel* item = findItem(id))
        return item;
    return new UserItemPanel(m_list);
}

UserItemWidget_Out* UserListWidget::findUserWidget(UserID_T id) const
{
    UserItemPanel* item = findItem(id);
    return item ? item->widget() : nullptr;
}

void UserListWidget::setUserVolume(UserID_T id, int volume)
{
    if (UserItemWidget_Out* row = findUserWidget(id))
        row->setVolume(volume);
}

void UserListWidget::setTitle(QString text)
{
    m_title->setText(text);
}

QString UserListWidget::title() const
{
    return m_title->text();
}

void UserListWidget::setTitleStyle(QString text, bool showHand, QString color)
{
    static const QRegularExpression background(QStringLiteral("background-color[^;\\r\\n}]*"));
    QString style = m_title->styleSheet();
    style.replace(background, QStringLiteral("background-color: %1").arg(color));
    m_title->setStyleSheet(style);
    m_title->setText(text);
    m_handIcon->setVisible(showHand);
}

void UserListWidget::sortItems()
{
    m_list->sortItems(Qt::AscendingOrder);
}

void UserListWidget::fitToParent()
{
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    const QSize size = parent->size();
    setFixedSize(size);
    m_title->setFixedWidth(size.width());
    m_list->setFixedSize(size.width(), size.height() - m_title->height());
}

void UserListWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitToParent();
}
