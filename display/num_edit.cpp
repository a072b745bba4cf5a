#include "display/num_edit.h"

#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QKeyEvent>
#include <optional>

CNumEdit::CNumEdit(QWidget* parent) : QLineEdit(parent) {}

bool CNumEdit::acceptsCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || u == u'.' || u == u'-' || u == 8;
}

namespace {

// The character a key press delivers to the edit, as the keyboard would produce it:
// Ctrl with a letter or one of @[\]^_ gives a control character (Ctrl+C is 3),
// Backspace gives 8, and keys that produce no character give none.
std::optional<QChar> typedCharacter(const QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier) && !mods.testFlag(Qt::AltModifier);
    if (key == Qt::Key_Backspace)
        return ctrl ? QChar(0x7F) : QChar(8); // Ctrl+Backspace types DEL
    if (ctrl) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return QChar(key - Qt::Key_A + 1);
        if (key >= Qt::Key_At && key <= Qt::Key_Underscore)
            return QChar(key - Qt::Key_At);
        return std::nullopt; // Ctrl with an arrow, Home, End...: a key, not a character
    }
    const QString text = event->text();
    if (text.isEmpty())
        return std::nullopt;
    const QChar c = text.front();
    // Delete arrives with text 0x7F on some keyboards but is a key, not a character.
    if (key == Qt::Key_Delete)
        return std::nullopt;
    return c;
}

} // namespace

void CNumEdit::keyPressEvent(QKeyEvent* event)
{
    // Enter, Esc and Tab belong to the dialog (default button, cancel, focus), as they
    // never reach an edit of a dialog as characters.
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Tab
        || key == Qt::Key_Backtab) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const std::optional<QChar> c = typedCharacter(event);
    if (!c) {
        // Not a character: Shift+Delete and Shift/Ctrl+Insert still cut, copy and
        // paste, as with any edit.
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->text().size() > 1 && !event->modifiers().testFlag(Qt::ControlModifier)) {
        // Several characters in one event (an input method): pass only when all pass.
        for (QChar ch : event->text())
            if (!acceptsCharacter(ch)) {
                event->accept();
                return;
            }
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (acceptsCharacter(*c))
        QLineEdit::keyPressEvent(event);
    else
        event->accept(); // dropped without effect
}

QString CNumEdit::filtered(const QString& text)
{
    QString kept;
    for (QChar c : text)
        if (acceptsCharacter(c) && c.unicode() != 8)
            kept += c;
    return kept;
}

void CNumEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // With an input method active (as on many desktops), typed characters arrive as
    // its commit string instead of key presses: each one passes the filter alone.
    const QString commit = event->commitString();
    const QString kept = filtered(commit);
    if (kept == commit) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    event->accept();
}

void CNumEdit::dropEvent(QDropEvent* event)
{
    const QMimeData* dropped = event->mimeData();
    if (!dropped || !dropped->hasText()) {
        QLineEdit::dropEvent(event);
        return;
    }
    const QString kept = filtered(dropped->text());
    if (kept.isEmpty()) {
        event->ignore(); // nothing of it could have been typed
        return;
    }
    QMimeData typed;
    typed.setText(kept);
    QDropEvent filteredDrop(event->position(), event->possibleActions(), &typed, event->buttons(),
                            event->modifiers(), event->type());
    filteredDrop.setDropAction(event->dropAction());
    QLineEdit::dropEvent(&filteredDrop);
    if (filteredDrop.isAccepted())
        event->acceptProposedAction();
    else
        event->ignore();
}
