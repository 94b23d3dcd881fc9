#include "dialogs/DatePicker.h"

#include "dialogs/PickerFormats.h"
#include "dialogs/PickerTyping.h"

TDatePicker::TDatePicker(QWidget* parent)
    : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(shortDateFormatWithFullYear(QLocale::system()));
    setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    setValue(m_value);
    new PickerTyping(this);
    connect(this, &QDateEdit::dateChanged, this, &TDatePicker::takeEditedDate);
}

void TDatePicker::setValue(TDateTime value)
{
    if (!isValidDateTime(value))
        return;
    const CalendarTime t = decodeDateTime(value);
    m_setting = true;
    setDate(QDate(t.year, t.month, t.day));
    m_setting = false;
    m_value = value;
}

void TDatePicker::takeEditedDate(QDate date)
{
    if (m_setting || !date.isValid())
        return;
    CalendarTime t = decodeDateTime(m_value);
    t.year = date.year();
    t.month = date.month();
    t.day = date.day();
    m_value = encodeDateTime(t);
}
