#include "app/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "resources/icons.h"
#include "resources/strings.h"

namespace {
// The box is laid out in dialog units of its 8-point sans serif font: a horizontal
// unit is a quarter of the average character width, a vertical one an eighth of the
// character height.
QRect dlu(const QFontMetrics& fm, int x, int y, int w, int h)
{
    const double cx = fm.averageCharWidth() / 4.0;
    const double cy = fm.height() / 8.0;
    return QRect(qRound(x * cx), qRound(y * cy), qRound(w * cx), qRound(h * cy));
}
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(texts::kFrameTitle);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    setFont(font);
    const QFontMetrics fm(font);
    setFixedSize(dlu(fm, 0, 0, 228, 72).size());

    auto* icon = new QLabel(this);
    icon->setPixmap(appIcon().pixmap(32, 32));
    icon->setGeometry(QRect(dlu(fm, 17, 14, 0, 0).topLeft(), QSize(32, 32)));

    // The texts take the room they need: the font that stands in for the box's own may
    // be a little wider.
    auto* version = new QLabel(texts::kAboutVersion, this);
    version->adjustSize();
    version->move(dlu(fm, 49, 13, 0, 0).topLeft());

    auto* legal = new QLabel(texts::kAboutLegal, this);
    legal->adjustSize();
    legal->move(dlu(fm, 49, 29, 0, 0).topLeft());

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(dlu(fm, 85, 49, 48, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    // Make room when the notice is wider than the box.
    const int needed = legal->geometry().right() + dlu(fm, 8, 0, 0, 0).left();
    if (needed > width())
        setFixedWidth(needed);
    ok->move((width() - ok->width()) / 2, ok->y());
}
