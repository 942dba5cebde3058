#pragma once

#include <QWidget>

class QLabel;

// The award card: a background, the student's portrait and name, and five star slots of which the first
// starCount() are lit. The award animation shows a picture of it, never the card itself.
class StarAwards : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSlots = 5;

    explicit StarAwards(QWidget* parent = nullptr);
    ~StarAwards() override;

    // Lights stars 1 to min(n, 5); the rest are grey. Negative counts light none.
    void setStarCount(int n);
    int starCount() const { return m_starCount; }
    void setUserName(const QString& text);
    // The picture file shown as the portrait; one that does not load shows an empty portrait.
    void setPortrait(const QString& imagePath);
    // Top-left corner of the slot the next star lands in (index starCount()), in the card's coordinates.
    QPoint nextStarPos() const;

private:
    QWidget* m_award;
    QLabel* m_portrait;
    QLabel* m_name;
    QWidget* m_starPanel;
    QLabel* m_stars[kSlots];
    int m_starCount = 0;
};
