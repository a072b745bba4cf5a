#pragma once
// CColorComboBox: a drop-down list whose items are colour swatches without text. Each
// item carries its colour as a packed 0x00BBGGRR value; the closed box and the
// dropped list both draw a swatch 50 pixels wide at the left of the item.
#include <QComboBox>

#include "display/color_palette.h"

class CColorComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CColorComboBox(QWidget* parent = nullptr);

    // Adds an item of this colour (the name is kept only for accessibility) and
    // returns its index; -1 and nothing added when the colour is listed already.
    int AddColor(ColorRef colour, const QString& name);
    // Whether no item carries this colour yet.
    bool IsNewColor(ColorRef colour) const;
    // Adds the 15 palette colours in index order (item i is palette index i) and
    // selects `selection`; an index outside 0 to 14 leaves no selection.
    void FillColors(int selection);
    // The colour of an item (0 for an index that is not an item).
    ColorRef itemColor(int index) const;

    // Paints one item into `rect`: the system's window ground, or its highlight with a
    // focus frame when focused, then the swatch (drawn in the disabled text colour when
    // the control is disabled). The dialog's own grey does not reach the items.
    static void DrawItem(QPainter& painter, const QRect& rect, ColorRef colour, bool focused,
                         bool disabled);

    // Height of the box with its dropped list, as the dialog template gives it: the
    // dropped list takes what the closed box leaves and scrolls through the rest.
    void setDroppedHeight(int pixels) { m_nDroppedHeight = pixels; }
    void showPopup() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_nDroppedHeight = 0;
};
