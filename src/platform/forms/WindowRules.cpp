#include "platform/forms/WindowRules.h"

#include <algorithm>
#include <QApplication>
#include <QBoxLayout>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QRadioButton>
#include <QSpacerItem>
#include <QStyle>
#include <QWidget>

namespace {

// The empty room a window's layout keeps so that the window is as wide as its caption.
class CaptionRoom : public QSpacerItem
{
public:
    CaptionRoom() : QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Fixed) {}
};

CaptionRoom* captionRoomOf(QLayout* layout)
{
    for (int i = 0; i < layout->count(); ++i) {
        if (auto* room = dynamic_cast<CaptionRoom*>(layout->itemAt(i)))
            return room;
    }
    return nullptr;
}

// Adds the room where it widens the layout to the room's width, not by it, when possible.
bool addCaptionRoom(QLayout* layout, CaptionRoom* room)
{
    if (auto* grid = qobject_cast<QGridLayout*>(layout))
        grid->addItem(room, grid->rowCount(), 0, 1, grid->columnCount());
    else if (auto* form = qobject_cast<QFormLayout*>(layout))
        form->setItem(form->rowCount(), QFormLayout::SpanningRole, room);
    else if (auto* box = qobject_cast<QBoxLayout*>(layout))
        box->addItem(room);
    else
        return false;
    return true;
}

bool laysOutAcross(const QLayout* layout)
{
    const auto* box = qobject_cast<const QBoxLayout*>(layout);
    return box && (box->direction() == QBoxLayout::LeftToRight ||
                   box->direction() == QBoxLayout::RightToLeft);
}

bool isDecoratedWindow(const QWidget* widget)
{
    const Qt::WindowType type = widget->windowType();
    return widget->isWindow() && (type == Qt::Window || type == Qt::Dialog);
}

} // namespace

WindowRules::WindowRules(const QIcon& programIcon, QObject* parent) : QObject(parent)
{
    QApplication::setWindowIcon(programIcon);
    qApp->installEventFilter(this);
}

WindowRules::~WindowRules()
{
    qApp->removeEventFilter(this);
}

int WindowRules::captionWidth(const QString& caption)
{
    // Title bars draw the caption in bold, between the window's icon and three or four buttons
    // about as wide as a line is high; window managers differ, so leave some room.
    QFont font = QApplication::font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int button = metrics.height() + 8;
    return metrics.horizontalAdvance(caption) + 5 * button + 2 * metrics.averageCharWidth();
}

void WindowRules::fitColumn(QHeaderView* header, int column, const QStringList& longestTexts)
{
    const QWidget* view = header->parentWidget() ? header->parentWidget() : header;
    const QFontMetrics metrics = view->fontMetrics();
    // An item view leaves this much around the text of a cell.
    const int margin =
        2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    int width = header->sectionSizeHint(column);
    for (const QString& text : longestTexts)
        width = qMax(width, metrics.horizontalAdvance(text) + margin + metrics.averageCharWidth());
    header->resizeSection(column, width);
}

void WindowRules::tabToChosenOption(const QList<QRadioButton*>& group)
{
    const auto follow = [group] {
        const bool none = std::none_of(group.cbegin(), group.cend(),
                                       [](const QRadioButton* o) { return o->isChecked(); });
        for (QRadioButton* option : group) {
            const bool stop = option->isChecked() || (none && option == group.first());
            option->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
        }
    };
    for (QRadioButton* option : group)
        QObject::connect(option, &QRadioButton::toggled, option, follow);
    follow();
}

void WindowRules::fitToCaption(QWidget* window)
{
    QLayout* layout = window->layout();
    if (!layout) {
        window->setMinimumWidth(qMax(window->minimumWidth(), captionWidth(window->windowTitle())));
        return;
    }
    CaptionRoom* room = captionRoomOf(layout);
    if (!room) {
        room = new CaptionRoom;
        if (!addCaptionRoom(layout, room)) {
            delete room;
            return;
        }
    }
    room->changeSize(0, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
    layout->invalidate();
    const int width = layout->totalMinimumSize().width();
    const int missing = captionWidth(window->windowTitle()) - width;
    if (missing <= 0)
        return;
    // Side by side the room adds to the width; in a column or a grid row of its own it spans it.
    const QMargins margins = layout->contentsMargins() + window->contentsMargins();
    const int roomWidth =
        laysOutAcross(layout) ? missing : width + missing - margins.left() - margins.right();
    room->changeSize(roomWidth, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
    layout->invalidate();
}

bool WindowRules::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Polish && type != QEvent::WindowTitleChange && type != QEvent::Show &&
        type != QEvent::Hide)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !isDecoratedWindow(widget))
        return false;

    switch (type) {
    case QEvent::Polish:
        fitToCaption(widget);
        break;
    case QEvent::WindowTitleChange:
        if (widget->testAttribute(Qt::WA_WState_Polished))
            fitToCaption(widget);
        break;
    case QEvent::Show:
        if (widget->isModal()) {
            // Before the dialog takes it, the active window is the one it was opened from.
            QWidget* opener = QApplication::activeWindow();
            if ((!opener || opener == widget) && widget->parentWidget())
                opener = widget->parentWidget()->window();
            m_openModals.removeIf([](const OpenModal& m) { return !m.dialog; });
            m_openModals.append(OpenModal{widget, opener});
        }
        break;
    case QEvent::Hide:
        giveFocusBack(widget);
        break;
    default:
        break;
    }
    return false;
}

void WindowRules::giveFocusBack(QWidget* dialog)
{
    const auto it = std::find_if(m_openModals.cbegin(), m_openModals.cend(),
                                 [dialog](const OpenModal& m) { return m.dialog == dialog; });
    if (it == m_openModals.cend())
        return;
    const QPointer<QWidget> opener = it->opener;
    m_openModals.erase(it);
    // Left to itself, a window manager may give the focus to no window at all when a box and
    // the dialog under it close one right after the other.
    if (opener && opener->isVisible() && opener != dialog)
        opener->activateWindow();
}
