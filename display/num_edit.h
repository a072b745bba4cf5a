#pragma once
// CNumEdit: the edit field of every number entry. Only digits, the decimal point, the
// minus sign and backspace get through from the keyboard; every other character is
// dropped, control characters included (so Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+Z do
// nothing here). The filter looks at one character at a time: where a minus or a
// point goes, and how many there are, is for the owning dialog to judge when it
// parses the text. Keys that are not characters (arrows, Home, End, Delete) keep the
// plain edit behaviour, and text set by the program or pasted through the context
// menu is not filtered. Characters an input method composes and text dropped on the
// field arrive as typed characters do and pass the same filter, one by one.
#include <QLineEdit>

class CNumEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CNumEdit(QWidget* parent = nullptr);

    // Whether a typed character reaches the edit: "0"-"9", ".", "-" and backspace (8).
    static bool acceptsCharacter(QChar c);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The characters of `text` that pass the filter (backspace inserts nothing).
    static QString filtered(const QString& text);
};
