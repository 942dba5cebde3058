#pragma once

#include <QDialog>
#include <QPixmap>

// A frameless, see-through tool window that floats over a class room, so that its children (an award animation,
// a star counter) can be drawn over native video and web content without a frame or background of their own.
// Without a compositing manager the parts it leaves unpainted show black; with setBackdropWithoutCompositor(true)
// it then paints, beneath its children, the picture of the screen it covers, taken as it shows. The owner sets
// the geometry and shows it; it goes with its parent.
class TranslucentDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TranslucentDialog(QWidget* parent = nullptr);
    ~TranslucentDialog() override;

    // Off by default. Takes effect at the next show.
    void setBackdropWithoutCompositor(bool on) { m_backdropWanted = on; }
    // The picture painted beneath the children while shown; null when there is none.
    const QPixmap& backdrop() const { return m_backdrop; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_backdropWanted = false;
    QPixmap m_backdrop;
};
