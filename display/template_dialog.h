#pragma once
// A dialog whose window is built from a dialog template (resources/dialog_templates.h):
// caption, client size and font from the template, every control placed through the
// dialog-unit mapper. Controls are found by their id, as dialog code addresses them.
//
// The object lives long, its "window" comes and goes: restoreTemplateState() puts every
// control back into the state the template gives it (shown or hidden, enabled, empty,
// unchecked), which a dialog does at each opening.
#include <QDialog>
#include <map>
#include <vector>

#include "platform/dialog_units.h"
#include "resources/dialog_templates.h"

class QButtonGroup;

class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    explicit TemplateDialog(int templateId, QWidget* parent = nullptr);

    const DialogTemplate& dialogTemplate() const { return *m_template; }
    const DialogUnits& units() const { return m_units; }

    // The control with this id, or null.
    QWidget* GetDlgItem(int id) const;
    template <class T> T* item(int id) const { return qobject_cast<T*>(GetDlgItem(id)); }

    // Shows picture `bitmapId` on a bitmap button or a bitmap static, drawn to fit it.
    void setBitmap(int controlId, int bitmapId);

    // Checks one radio button of a group (the others of its group go off).
    void CheckRadioButton(int id, bool checked = true);
    bool IsDlgButtonChecked(int id) const;

protected:
    void restoreTemplateState();

private:
    void build();
    const DialogTemplate* m_template;
    DialogUnits m_units;
    std::map<int, QWidget*> m_controls;
    std::vector<std::pair<const ControlTemplate*, QWidget*>> m_all;
    std::vector<QButtonGroup*> m_radioGroups;
};
