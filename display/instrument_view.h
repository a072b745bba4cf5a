#pragma once
// The instrument pane: the left pane of the main window's splitter. It will hold the
// instrument tree; for now it is an empty pane.
#include <QWidget>

class CDTDoc;

class CInstrumentView : public QWidget {
    Q_OBJECT
public:
    explicit CInstrumentView(CDTDoc* doc, QWidget* parent = nullptr);

    CDTDoc* GetDocument() const { return m_pDocument; }

private:
    CDTDoc* m_pDocument;
};
