#include "display/up_down_control.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this))
{
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { stepUp(); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepDown(); });
}

void UpDownControl::setBuddy(QLineEdit* buddy)
{
    if (m_buddy)
        m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    if (m_buddy)
        m_buddy->installEventFilter(this);
}

void UpDownControl::SetRange32(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
    m_pos = std::clamp(m_pos, std::min(lower, upper), std::max(lower, upper));
}

void UpDownControl::step(int direction)
{
    if (!isEnabled())
        return;
    const int lo = std::min(m_lower, m_upper);
    const int hi = std::max(m_lower, m_upper);
    // The buddy's text is the position when it holds a number; otherwise the last
    // position stands.
    if (m_buddy) {
        const QString text = m_buddy->text().trimmed();
        bool ok = false;
        const int v = text.toInt(&ok);
        if (ok)
            m_pos = std::clamp(v, lo, hi);
    }
    const int delta = m_upper >= m_lower ? direction : -direction;
    // In 64 bits: a range reaching INT_MAX must not overflow on the step.
    const long long next = static_cast<long long>(m_pos) + delta;
    m_pos = static_cast<int>(std::clamp<long long>(next, lo, hi));
    if (m_buddy)
        m_buddy->setText(QString::number(m_pos));
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_buddy && m_arrowKeys && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            step(key->key() == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDownControl::resizeEvent(QResizeEvent*)
{
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

void UpDownControl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        m_up->setEnabled(isEnabled());
        m_down->setEnabled(isEnabled());
    }
    QWidget::changeEvent(event);
}
