#include "display/template_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "display/color_combo_box.h"
#include "display/num_edit.h"
#include "display/up_down_control.h"
#include "resources/dialog_bitmaps.h"

namespace {
const DialogTemplate& templateOrEmpty(int id)
{
    static const DialogTemplate empty;
    const DialogTemplate* t = findDialogTemplate(id);
    Q_ASSERT_X(t, "TemplateDialog", "unknown dialog template");
    return t ? *t : empty;
}

QString fontFamilyOf(const DialogTemplate& t)
{
    return t.fontFamily.isEmpty() ? QStringLiteral("Arial") : t.fontFamily;
}
} // namespace

TemplateDialog::TemplateDialog(int templateId, QWidget* parent)
    : QDialog(parent)
    , m_template(&templateOrEmpty(templateId))
    , m_units(fontFamilyOf(*m_template), m_template->fontPoints)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (m_template->systemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    setFont(m_units.font());
    setWindowTitle(m_template->caption);
    setFixedSize(m_units.toPixels(m_template->size));
    build();
}

void TemplateDialog::build()
{
    QButtonGroup* radioGroup = nullptr;
    for (const ControlTemplate& c : m_template->controls) {
        QWidget* w = nullptr;
        QRect rect = m_units.toPixels(c.rect);
        switch (c.kind) {
        case ControlKind::PushButton:
        case ControlKind::BitmapButton: {
            auto* b = new QPushButton(c.kind == ControlKind::PushButton ? c.text : QString(), this);
            b->setAccessibleName(
                QString(c.text).replace(QStringLiteral("&&"), QStringLiteral("&")));
            b->setDefault(c.defaultButton);
            w = b;
            break;
        }
        case ControlKind::Static: {
            auto* l = new QLabel(c.text, this);
            l->setTextFormat(Qt::PlainText);
            l->setWordWrap(true);
            l->setAlignment((c.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
            w = l;
            break;
        }
        case ControlKind::BitmapStatic: {
            auto* l = new QLabel(this);
            l->setAlignment(Qt::AlignCenter);
            w = l;
            break;
        }
        case ControlKind::GroupBox:
            w = new QGroupBox(c.text, this);
            break;
        case ControlKind::NumEdit: {
            auto* e = new CNumEdit(this);
            e->setReadOnly(c.readOnly);
            if (c.centred)
                e->setAlignment(Qt::AlignCenter);
            w = e;
            break;
        }
        case ControlKind::UpDown:
            w = new UpDownControl(this);
            break;
        case ControlKind::DropList: {
            auto* cb = new QComboBox(this);
            QStringList items = c.items;
            if (c.sorted)
                items.sort(Qt::CaseInsensitive);
            cb->addItems(items);
            // The template's height includes the dropped list; the closed box is as
            // high as its font needs.
            rect.setHeight(std::min(rect.height(), cb->sizeHint().height()));
            w = cb;
            break;
        }
        case ControlKind::CheckBox:
            w = new QCheckBox(c.text, this);
            break;
        case ControlKind::ColorCombo: {
            auto* cb = new CColorComboBox(this);
            // As for a drop list: the template's height includes the dropped list.
            cb->setDroppedHeight(rect.height());
            rect.setHeight(std::min(rect.height(), cb->sizeHint().height()));
            w = cb;
            break;
        }
        case ControlKind::RadioButton: {
            auto* r = new QRadioButton(c.text, this);
            if (c.groupStart || !radioGroup) {
                radioGroup = new QButtonGroup(this);
                m_radioGroups.push_back(radioGroup);
            }
            radioGroup->addButton(r);
            w = r;
            break;
        }
        }
        if (!c.tabStop)
            w->setFocusPolicy(c.kind == ControlKind::NumEdit ? Qt::ClickFocus : Qt::NoFocus);
        w->setGeometry(rect);
        if (c.id != ctrl::IDC_STATIC)
            m_controls.emplace(c.id, w);
        m_all.emplace_back(&c, w);
    }
    // Up-down controls find their buddies once every control exists.
    for (auto& [c, w] : m_all)
        if (c->kind == ControlKind::UpDown)
            if (auto* buddy = qobject_cast<QLineEdit*>(GetDlgItem(c->buddy)))
                static_cast<UpDownControl*>(w)->setBuddy(buddy);
    // Group boxes lie behind the controls they frame.
    for (auto& [c, w] : m_all)
        if (c->kind == ControlKind::GroupBox)
            w->lower();
    restoreTemplateState();
    for (auto& [c, w] : m_all)
        if (c->bitmap)
            setBitmap(c->id, c->bitmap);
    // Buttons 1 and 2 end the dialog as OK and Cancel through accept() and reject(),
    // where each dialog checks and applies its values. Enter clicks the default button
    // (OK), Esc rejects: both come from QDialog.
    if (auto* ok = item<QPushButton>(ctrl::IDOK))
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    if (auto* cancel = item<QPushButton>(ctrl::IDCANCEL))
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TemplateDialog::restoreTemplateState()
{
    for (auto& [c, w] : m_all) {
        w->setVisible(c->visible);
        w->setEnabled(c->enabled);
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->clear();
        if (auto* box = qobject_cast<QCheckBox*>(w))
            box->setChecked(false);
    }
    for (QButtonGroup* g : m_radioGroups) {
        // An exclusive group keeps one button checked; turn it off to clear them all.
        g->setExclusive(false);
        for (QAbstractButton* b : g->buttons())
            b->setChecked(false);
        g->setExclusive(true);
    }
}

QWidget* TemplateDialog::GetDlgItem(int id) const
{
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void TemplateDialog::setBitmap(int controlId, int bitmapId)
{
    QWidget* w = GetDlgItem(controlId);
    if (!w) {
        // Bitmap statics have no id: find them by their template entry.
        for (auto& [c, widget] : m_all)
            if (c->kind == ControlKind::BitmapStatic && c->bitmap == bitmapId)
                w = widget;
    }
    if (auto* b = qobject_cast<QPushButton*>(w)) {
        // Inside the button's frame, where the face shows.
        const QSize face = (b->size() - QSize(8, 6)).expandedTo(QSize(8, 8));
        b->setIcon(QIcon(dialogBitmap(bitmapId, face)));
        b->setIconSize(face);
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setPixmap(dialogBitmap(bitmapId, l->size()));
    }
}

void TemplateDialog::CheckRadioButton(int id, bool checked)
{
    if (auto* r = item<QRadioButton>(id)) {
        QButtonGroup* g = r->group();
        if (!checked && g) {
            g->setExclusive(false);
            r->setChecked(false);
            g->setExclusive(true);
        } else {
            r->setChecked(checked);
        }
    }
}

bool TemplateDialog::IsDlgButtonChecked(int id) const
{
    auto* b = item<QAbstractButton>(id);
    return b && b->isChecked();
}
