#pragma once

#include <QDialog>

class DialUpLink;
class QLabel;
class QPushButton;

// Shows how a dial is going, without blocking anything. Cancel, Escape and the close box hang
// the line up; the link closing the window does not.
class frmDialUpProgress : public QDialog
{
    Q_OBJECT

public:
    explicit frmDialUpProgress(QWidget* parent = nullptr);

    // Creates the window for link, owned by parent, and wires the two together.
    static frmDialUpProgress* attach(DialUpLink* link, QWidget* parent);

    void ShowText(const QString& text);
    void UnloadMyself();

    void reject() override;

Q_SIGNALS:
    void cancelled();

private:
    QLabel* lblStatus;
    QPushButton* cmdCancel;
    bool m_closing = false;
};
