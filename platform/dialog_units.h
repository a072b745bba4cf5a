#pragma once
// Dialog units to pixels. Dialog layouts are given in dialog units, which scale with
// the dialog's font: horizontally a quarter of the font's average character width,
// vertically an eighth of its character height. Every dialog built from a template
// converts its positions through this one mapper, so a different font or screen
// resolution moves all controls together.
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class DialogUnits {
public:
    // Base units of the template font: family and size in points.
    DialogUnits(const QString& family, int pointSize);
    explicit DialogUnits(const QFont& font);

    const QFont& font() const { return m_font; }
    // Average character width and character height of the font, in pixels.
    int baseX() const { return m_baseX; }
    int baseY() const { return m_baseY; }

    int toPixelsX(int dialogUnits) const;
    int toPixelsY(int dialogUnits) const;
    QRect toPixels(const QRect& dialogUnits) const;
    QSize toPixels(const QSize& dialogUnits) const;

private:
    void measure();
    QFont m_font;
    int m_baseX = 1;
    int m_baseY = 1;
};
