#pragma once
// Typing into the date and time pickers as into desktop date fields: digits replace the field
// the caret is in (a click selects that field), a full field or a separator moves on to the
// next one, and a whole date or time typed in the shown form is taken at once. Arrow keys,
// the calendar and the spin buttons keep the widget's own behaviour.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

class QDateTimeEdit;
class QLineEdit;

class PickerTyping : public QObject {
    Q_OBJECT
public:
    // Attaches to the picker, which owns the result.
    explicit PickerTyping(QDateTimeEdit* picker);

    enum class Field { Day, Month, Year, Hour24, Hour12, Minute, Second, Millisecond, AmPm, Other };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool typeCharacter(QChar c);
    void begin();
    void typeDigit(int digit);
    void typeAmPm(QChar c);
    void advance(bool byDigits);
    void takeWhole();
    void show();
    void selectFieldAtCaret();

    QDateTimeEdit* m_picker;
    QLineEdit* m_edit;
    // Selects the field only after the line edit has placed the caret for the click.
    QTimer m_selectLater;
    bool m_active = false;
    std::vector<Field> m_fields;
    int m_field = 0;
    QString m_digits;
    QString m_typed;
    bool m_fieldJustFilled = false;
    // The value as typed so far, before days beyond the month's end are cut back.
    int m_year = 0, m_month = 0, m_day = 0, m_hour = 0, m_minute = 0, m_second = 0, m_msec = 0;
};
