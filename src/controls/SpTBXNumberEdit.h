#pragma once

#include <QLineEdit>

class QValidator;

// Amount input: takes digits and one point, shows the bare digits while it has focus and
// the number in DisplayFormat (",#.##" style) once focus leaves.
class TSpTBXNumberEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString DisplayFormat READ displayFormat WRITE setDisplayFormat)
    Q_PROPERTY(int DecimalPlaces READ decimalPlaces WRITE setDecimalPlaces)

public:
    explicit TSpTBXNumberEdit(QWidget *parent = nullptr);

    // Empty means ",#." followed by DecimalPlaces "#".
    QString displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString &format);
    // Places shown when DisplayFormat is empty, 0 to 15.
    int decimalPlaces() const { return m_decimalPlaces; }
    void setDecimalPlaces(int places);

    // The number formed by the text's digits and points; 0 when empty or unreadable.
    double Value() const;
    // Shows Value's plain text ("15.5"); NaN and infinity empty the input.
    void SetValue(double value);
    bool IsEmpty() const { return text().isEmpty(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void ShowFormatted();

    QString m_displayFormat;
    int m_decimalPlaces = 2;
    // Set while the formatted text (with its grouping commas) is put in, which the cleaning
    // validator would otherwise strip.
    bool m_showingFormatted = false;
};
