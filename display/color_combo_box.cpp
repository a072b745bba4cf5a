#include "display/color_combo_box.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <algorithm>

namespace {

constexpr int kColourRole = Qt::UserRole;

// Draws the items of the dropped list as swatches.
class SwatchDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const auto colour = index.data(kColourRole).value<ColorRef>();
        CColorComboBox::DrawItem(*painter, option.rect, colour,
                                 option.state.testFlag(QStyle::State_Selected),
                                 !option.state.testFlag(QStyle::State_Enabled));
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        // The height a text item of the font would get: the items have no text.
        const QSize base = QStyledItemDelegate::sizeHint(option, index);
        return QSize(base.width(), std::max(base.height(), option.fontMetrics.height() + 4));
    }
};

} // namespace

CColorComboBox::CColorComboBox(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new SwatchDelegate(this));
    // The dropped list lies on the system's window ground, not on the dialog's grey.
    QPalette listPalette = view()->palette();
    const QPalette system;
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window})
        listPalette.setColor(role, system.color(QPalette::Base));
    view()->setPalette(listPalette);
    view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void CColorComboBox::showPopup()
{
    QComboBox::showPopup();
    QWidget* popup = view()->window();
    if (m_nDroppedHeight <= height() || popup == window())
        return;
    // The list is as high as the template leaves below the closed box; it scrolls.
    QRect g = popup->geometry();
    const int listHeight = m_nDroppedHeight - height();
    const bool above = g.bottom() < mapToGlobal(QPoint(0, 0)).y();
    if (above)
        g.setTop(g.bottom() + 1 - listHeight);
    else
        g.setHeight(listHeight);
    popup->setGeometry(g);
}

bool CColorComboBox::IsNewColor(ColorRef colour) const
{
    for (int i = 0; i < count(); ++i)
        if (itemColor(i) == colour)
            return false;
    return true;
}

int CColorComboBox::AddColor(ColorRef colour, const QString& name)
{
    if (!IsNewColor(colour))
        return -1;
    addItem(QString());
    const int index = count() - 1;
    setItemData(index, QVariant::fromValue(colour), kColourRole);
    setItemData(index, name, Qt::AccessibleTextRole);
    setItemData(index, name, Qt::ToolTipRole);
    return index;
}

void CColorComboBox::FillColors(int selection)
{
    for (std::size_t i = 0; i < kColorTable.size(); ++i)
        AddColor(colorRefFromIndex(static_cast<int>(i)), QString::fromLatin1(kColorTable[i].name));
    setCurrentIndex(selection >= 0 && selection < static_cast<int>(kColorTable.size()) ? selection
                                                                                       : -1);
}

ColorRef CColorComboBox::itemColor(int index) const
{
    const QVariant v = itemData(index, kColourRole);
    return v.isValid() ? v.value<ColorRef>() : 0;
}

void CColorComboBox::DrawItem(QPainter& painter, const QRect& rect, ColorRef colour, bool focused,
                              bool disabled)
{
    const QPalette palette; // the system colours
    painter.save();
    painter.fillRect(rect, palette.color(focused ? QPalette::Highlight : QPalette::Base));
    if (focused) {
        QPen dotted(palette.color(QPalette::HighlightedText), 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    const QColor fill =
        disabled ? palette.color(QPalette::Disabled, QPalette::WindowText) : qColorFromRef(colour);
    // From (left + 1, top + 1) to (left + 51, bottom - 1), outline included.
    const QRect swatch(rect.left() + 1, rect.top() + 1, 50, std::max(1, rect.height() - 2));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(fill);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    painter.restore();
}

void CColorComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    opt.currentIcon = QIcon();
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    if (currentIndex() < 0) {
        p.fillRect(field, QPalette().color(hasFocus() ? QPalette::Highlight : QPalette::Base));
        return;
    }
    DrawItem(p, field, itemColor(currentIndex()), hasFocus(), !isEnabled());
}
