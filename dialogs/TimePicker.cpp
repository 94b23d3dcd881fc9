#include "dialogs/TimePicker.h"

#include "dialogs/PickerFormats.h"
#include "dialogs/PickerTyping.h"

TTimePicker::TTimePicker(QWidget* parent)
    : QTimeEdit(parent)
{
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setDisplayFormat(timeFormatWithSeconds(QLocale::system()));
    setValue(m_value);
    new PickerTyping(this);
    connect(this, &QTimeEdit::timeChanged, this, &TTimePicker::takeEditedTime);
}

void TTimePicker::setValue(TDateTime value)
{
    if (!isValidDateTime(value))
        return;
    const CalendarTime t = decodeDateTime(value);
    m_setting = true;
    QTime shown(t.hour, t.minute, t.second, t.millisecond);
    if (!shown.isValid())
        shown = QTime(t.hour, t.minute, t.second);
    setTime(shown);
    m_setting = false;
    m_value = value;
}

void TTimePicker::takeEditedTime(QTime time)
{
    if (m_setting || !time.isValid())
        return;
    CalendarTime t = decodeDateTime(m_value);
    t.hour = time.hour();
    t.minute = time.minute();
    t.second = time.second();
    t.millisecond = time.msec();
    m_value = encodeDateTime(t);
}
