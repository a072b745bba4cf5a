#include "display/instrument_view.h"

CInstrumentView::CInstrumentView(CDTDoc* doc, QWidget* parent) : QWidget(parent), m_pDocument(doc)
{
    // A white pane, as a tree control shows before it has items.
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMinimumWidth(0);
}
