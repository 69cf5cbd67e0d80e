#include "SpTBXNumberEdit.h"

#include "InputText.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QValidator>

#include <algorithm>
#include <functional>

namespace {

// Cleans whatever reaches the text other than by a typed key (paste, drop, input method,
// setText): digits and the first point stay, the rest goes, so a paste is trimmed rather
// than refused.
class NumberTextValidator : public QValidator
{
public:
    NumberTextValidator(QObject *parent, std::function<bool()> bypass)
        : QValidator(parent)
        , m_bypass(std::move(bypass))
    {
    }

    State validate(QString &input, int &pos) const override
    {
        if (m_bypass())
            return Acceptable;
        const QString cleaned = InputText::CleanNumberText(input);
        if (cleaned != input) {
            pos = int(InputText::CleanNumberText(input.left(pos)).size());
            pos = std::min(pos, int(cleaned.size()));
            input = cleaned;
        }
        return Acceptable;
    }

private:
    std::function<bool()> m_bypass;
};

bool IsControlText(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

} // namespace

TSpTBXNumberEdit::TSpTBXNumberEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValidator(new NumberTextValidator(this, [this] { return m_showingFormatted; }));
}

void TSpTBXNumberEdit::setDisplayFormat(const QString &format)
{
    m_displayFormat = format;
}

void TSpTBXNumberEdit::setDecimalPlaces(int places)
{
    m_decimalPlaces = std::clamp(places, 0, 15);
}

double TSpTBXNumberEdit::Value() const
{
    return InputText::NumberValue(text());
}

void TSpTBXNumberEdit::SetValue(double value)
{
    setText(InputText::PlainNumber(value));
}

void TSpTBXNumberEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    // Keys without printable text (navigation, Enter, Esc, backspace) and shortcuts such as
    // Ctrl+V are the line edit's own business; paste is cleaned by the validator.
    if (typed.isEmpty() || IsControlText(typed) || (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        QLineEdit::keyPressEvent(event);
        return;
    }

    // A typed point is judged against the text it will land in, i.e. without the selection
    // it replaces: typing ".5" over a selected "12.5" gives ".5".
    QString remaining = text();
    if (hasSelectedText())
        remaining.remove(selectionStart(), selectedText().size());
    QString accepted;
    for (const QChar c : typed) {
        if (InputText::AcceptsNumberKey(remaining + accepted, c))
            accepted.append(c);
    }
    if (accepted == typed) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (!accepted.isEmpty())
        insert(accepted);
    event->accept();
}

void TSpTBXNumberEdit::focusInEvent(QFocusEvent *event)
{
    const QString bare = InputText::DigitsAndPoints(text());
    if (bare != text())
        setText(bare);
    QLineEdit::focusInEvent(event);
}

void TSpTBXNumberEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // A context menu takes focus only for a moment; the user is still editing.
    if (event->reason() != Qt::PopupFocusReason)
        ShowFormatted();
}

void TSpTBXNumberEdit::ShowFormatted()
{
    if (text().isEmpty())
        return;
    const QString bare = InputText::DigitsAndPoints(text());
    // Nothing but points ("."): there is no number to show, so leave the input empty.
    if (!std::any_of(bare.cbegin(), bare.cend(), [](QChar c) { return c.isDigit(); })) {
        clear();
        return;
    }
    m_showingFormatted = true;
    setText(InputText::FormatNumber(InputText::NumberValue(bare), m_displayFormat, m_decimalPlaces));
    m_showingFormatted = false;
}
