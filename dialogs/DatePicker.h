#pragma once
// The date field of the settings dialog: shows the date part of a date-time value in the
// locale's short form with a drop-down calendar, and keeps the value's time of day and its
// full precision, so that an untouched field gives back exactly what it was given. Typing
// works as in desktop date fields (PickerTyping).

#include "countdown/DateTime.h"

#include <QDateEdit>

class TDatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit TDatePicker(QWidget* parent = nullptr);

    TDateTime value() const { return m_value; }
    // Values outside the years 100..9999 (or not finite) cannot be shown and are ignored.
    void setValue(TDateTime value);

private:
    void takeEditedDate(QDate date);

    TDateTime m_value = 0;
    bool m_setting = false;
};
