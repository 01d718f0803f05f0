#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>

class QHeaderView;
class QRadioButton;
class QWidget;

// What every window of the program gets without asking for it: the program's icon, a width that
// shows its whole caption, and, when a dialog or a box closes, the window that opened it active
// again with the keyboard. main() keeps one for the life of the application.
class WindowRules : public QObject
{
public:
    explicit WindowRules(const QIcon& programIcon, QObject* parent = nullptr);
    ~WindowRules() override;

    // The width a window needs for its caption to show in full in a window manager's title bar.
    static int captionWidth(const QString& caption);
    // Makes a column of a list wide enough for its caption and for each of the texts.
    static void fitColumn(QHeaderView* header, int column, const QStringList& longestTexts);
    // Tab reaches a group of option buttons through the chosen one, as in any option group; Qt
    // would otherwise stop at the first until the user focuses another one.
    static void tabToChosenOption(const QList<QRadioButton*>& group);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void fitToCaption(QWidget* window);
    void giveFocusBack(QWidget* dialog);

    // Modal windows now open, and the window each was opened from.
    struct OpenModal
    {
        QPointer<QWidget> dialog;
        QPointer<QWidget> opener;
    };
    QList<OpenModal> m_openModals;
};
