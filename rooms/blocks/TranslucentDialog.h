#pragma once

#include <QDialog>

// A frameless, see-through tool window that floats over a class room, so that its children (an award animation,
// a star counter) can be drawn over native video and web content without a frame or background of their own.
// Without a compositor the background shows opaque. The owner sets the geometry and shows it; it goes with its
// parent.
class TranslucentDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TranslucentDialog(QWidget* parent = nullptr);
    ~TranslucentDialog() override;
};
