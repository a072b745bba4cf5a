// The small toolbar above the plot: Zoom Out, Axis Setup, Color Setup, View Options.
#include <QPainter>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>

#include "display/cdtview.h"
#include "resources/command_ids.h"

namespace {

struct ViewButton {
    int id;
    const char* name; // accessible name; only Zoom Out carries a tooltip
    void (*paint)(QPainter&);
};

void paintZoomOut(QPainter& p)
{
    p.setPen(QPen(QColor(0, 0, 0), 1.5));
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.drawLine(QPointF(4, 6), QPointF(8, 6));
    p.setPen(QPen(QColor(0, 0, 0), 2.5));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
}

void paintAxes(QPainter& p)
{
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.drawLine(3, 1, 3, 13);
    p.drawLine(3, 13, 15, 13);
    for (int y = 3; y <= 11; y += 4)
        p.drawLine(1, y, 3, y);
    p.setPen(QPen(QColor(200, 0, 0), 1));
    p.drawPolyline(QPolygon({QPoint(4, 10), QPoint(7, 5), QPoint(10, 8), QPoint(14, 3)}));
}

void paintColours(QPainter& p)
{
    p.fillRect(1, 1, 6, 6, QColor(255, 0, 0));
    p.fillRect(9, 1, 6, 6, QColor(0, 255, 0));
    p.fillRect(1, 9, 6, 6, QColor(0, 0, 255));
    p.fillRect(9, 9, 6, 6, QColor(255, 255, 0));
    p.setPen(QColor(0, 0, 0));
    p.drawRect(1, 1, 5, 5);
    p.drawRect(9, 1, 5, 5);
    p.drawRect(1, 9, 5, 5);
    p.drawRect(9, 9, 5, 5);
}

void paintViewOptions(QPainter& p)
{
    p.fillRect(1, 2, 14, 12, QColor(0, 0, 0));
    p.setPen(QColor(0, 0, 255));
    for (int x = 4; x < 15; x += 4)
        p.drawLine(x, 3, x, 12);
    p.setPen(QColor(0, 255, 0));
    p.drawPolyline(QPolygon({QPoint(2, 11), QPoint(6, 6), QPoint(10, 9), QPoint(14, 4)}));
}

const ViewButton kButtons[] = {
    {ID_ZOOM_OUT, "ZoomOut", paintZoomOut},
    {ID_AXIS_SETUP, "Axis Setup", paintAxes},
    {ID_COLOR_SETUP, "Color Setup", paintColours},
    {ID_VIEW_OPTIONS, "View Options", paintViewOptions},
};

QIcon buttonIcon(void (*paint)(QPainter&))
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    return QIcon(pixmap);
}

} // namespace

bool CDTView::createViewToolBar()
{
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("viewToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    // A toolbar paints its own face: the graph's picture under it is black there,
    // and the dark button pictures would vanish on it.
    bar->setAutoFillBackground(true);
    bool firstButton = true;
    for (const ViewButton& b : kButtons) {
        if (!firstButton)
            bar->addSeparator();
        firstButton = false;
        // Plain buttons rather than actions: an action would lend its text to a
        // tooltip, and only Zoom Out has one.
        auto* button = new QToolButton(bar);
        button->setIcon(buttonIcon(b.paint));
        button->setAutoRaise(true);
        button->setAccessibleName(QString::fromLatin1(b.name));
        button->setProperty("commandId", b.id);
        if (b.id == ID_ZOOM_OUT)
            button->setToolTip(QStringLiteral("ZoomOut"));
        const int id = b.id;
        connect(button, &QToolButton::clicked, this, [this, id] { OnCommand(id); });
        bar->addWidget(button);
    }
    m_wndViewToolBar = bar;
    return true;
}
