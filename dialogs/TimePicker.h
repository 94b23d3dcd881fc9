#pragma once
// The time field of the settings dialog: shows the time of day of a date-time value with
// spin arrows, and keeps the value's date and its full precision, so that an untouched
// field gives back exactly what it was given. Typing works as in desktop time fields
// (PickerTyping).

#include "countdown/DateTime.h"

#include <QTimeEdit>

class TTimePicker : public QTimeEdit {
    Q_OBJECT
public:
    explicit TTimePicker(QWidget* parent = nullptr);

    TDateTime value() const { return m_value; }
    // Values outside the years 100..9999 (or not finite) cannot be shown and are ignored.
    void setValue(TDateTime value);

private:
    void takeEditedTime(QTime time);

    TDateTime m_value = 0;
    bool m_setting = false;
};
