#include "platform/window_frame.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

void apply(QWidget* window, const QRect& frame, const QMargins& margins)
{
    const QSize client = frame.size().shrunkBy(margins).expandedTo(QSize(1, 1));
    // move() places a window by its frame; the size is that of the client area.
    window->move(frame.topLeft());
    if (window->minimumSize() == window->maximumSize())
        window->setFixedSize(client);
    else
        window->resize(client);
}

// Applies the placement again when the window manager reports other margins: once
// they are known (not zero) and applied, it is done and leaves the window to the user.
class FrameWatch : public QObject {
public:
    FrameWatch(QWidget* window, FramePlacement placement)
        : QObject(window)
        , m_window(window)
        , m_placement(std::move(placement))
    {
        setObjectName(QStringLiteral("FrameWatch"));
        window->installEventFilter(this);
        place();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type t = event->type();
        if (watched == m_window
            && (t == QEvent::Move || t == QEvent::Resize || t == QEvent::Show
                || t == QEvent::Expose)
            && windowFrameMargins(m_window) != m_applied && !m_placing) {
            place();
            if (!m_applied.isNull())
                deleteLater();
        }
        return false;
    }

private:
    void place()
    {
        m_placing = true;
        m_applied = windowFrameMargins(m_window);
        apply(m_window, m_placement(m_applied), m_applied);
        m_placing = false;
    }

    QWidget* m_window;
    FramePlacement m_placement;
    QMargins m_applied;
    bool m_placing = false;
};

} // namespace

QMargins windowFrameMargins(const QWidget* window)
{
    if (const QWindow* handle = window->windowHandle())
        return handle->frameMargins();
    const QRect client = window->geometry();
    const QRect frame = window->frameGeometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
}

void placeWindowFrame(QWidget* window, FramePlacement placement)
{
    if (!window)
        return;
    if (!window->isWindow()) {
        QRect area = placement(QMargins());
        if (QWidget* parent = window->parentWidget())
            area.moveTopLeft(parent->mapFromGlobal(area.topLeft()));
        window->setGeometry(area);
        return;
    }
    // One watch per window: a new placement replaces the one still waiting.
    const QObjectList children = window->children();
    for (QObject* child : children)
        if (child->objectName() == QLatin1String("FrameWatch"))
            delete child;
    new FrameWatch(window, std::move(placement));
}

FramePlacement coverArea(const QRect& area)
{
    return [area](const QMargins&) { return area; };
}

QRect reachableFrame(const QRect& frame, const QMargins& margins, const QRect& area)
{
    const QSize size = frame.size().boundedTo(area.size());
    // The title bar must be there to be grabbed: not above the area, not below it and
    // not wholly beside it.
    const bool titleOff = frame.top() < area.top()
                          || frame.top() + margins.top() > area.bottom() + 1
                          || frame.right() < area.left() || frame.left() > area.right();
    if (size == frame.size() && !titleOff)
        return frame;
    const QPoint topLeft(std::clamp(frame.left(), area.left(), area.right() + 1 - size.width()),
                         std::clamp(frame.top(), area.top(), area.bottom() + 1 - size.height()));
    return {topLeft, size};
}
