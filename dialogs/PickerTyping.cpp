#include "dialogs/PickerTyping.h"

#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <algorithm>

namespace {

using Field = PickerTyping::Field;

Field fieldOf(QDateTimeEdit::Section section)
{
    switch (section) {
    case QDateTimeEdit::DaySection:
        return Field::Day;
    case QDateTimeEdit::MonthSection:
        return Field::Month;
    case QDateTimeEdit::YearSection:
        return Field::Year;
    case QDateTimeEdit::HourSection:
        return Field::Hour24;
    case QDateTimeEdit::MinuteSection:
        return Field::Minute;
    case QDateTimeEdit::SecondSection:
        return Field::Second;
    case QDateTimeEdit::MSecSection:
        return Field::Millisecond;
    case QDateTimeEdit::AmPmSection:
        return Field::AmPm;
    default:
        return Field::Other;
    }
}

int maxDigits(Field field)
{
    switch (field) {
    case Field::Year:
        return 4;
    case Field::Millisecond:
        return 3;
    default:
        return 2;
    }
}

int maxValue(Field field)
{
    switch (field) {
    case Field::Day:
        return 31;
    case Field::Month:
    case Field::Hour12:
        return 12;
    case Field::Year:
        return 9999;
    case Field::Hour24:
        return 23;
    case Field::Millisecond:
        return 999;
    default:
        return 59;
    }
}

bool endsTyping(const QKeyEvent& key)
{
    return key.text().isEmpty() || !key.text().at(0).isPrint() ||
           (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

PickerTyping::PickerTyping(QDateTimeEdit* picker)
    : QObject(picker)
    , m_picker(picker)
    , m_edit(picker->findChild<QLineEdit*>())
{
    m_selectLater.setSingleShot(true);
    m_selectLater.setInterval(0);
    connect(&m_selectLater, &QTimer::timeout, this, &PickerTyping::selectFieldAtCaret);
    m_picker->installEventFilter(this);
    if (m_edit)
        m_edit->installEventFilter(this);
}

bool PickerTyping::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (watched == m_picker) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (endsTyping(*key)) {
                m_active = false;
                return false;
            }
            return typeCharacter(key->text().at(0));
        }
        break;
    case QEvent::MouseButtonRelease:
        // A click puts the caret into a field; the next typing replaces that field.
        if (watched == m_edit && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_active = false;
            m_selectLater.start();
        }
        break;
    case QEvent::FocusOut:
    case QEvent::MouseButtonPress:
        m_active = false;
        break;
    default:
        break;
    }
    return false;
}

void PickerTyping::selectFieldAtCaret()
{
    if (m_edit && !m_edit->hasSelectedText())
        m_picker->setSelectedSection(m_picker->currentSection());
}

void PickerTyping::begin()
{
    m_fields.clear();
    bool twelveHours = false;
    for (int i = 0; i < m_picker->sectionCount(); ++i) {
        m_fields.push_back(fieldOf(m_picker->sectionAt(i)));
        twelveHours = twelveHours || m_fields.back() == Field::AmPm;
    }
    // With an AM/PM field the hour field counts 1 to 12.
    if (twelveHours)
        std::replace(m_fields.begin(), m_fields.end(), Field::Hour24, Field::Hour12);
    const bool wholeSelected = m_edit && m_edit->selectedText() == m_edit->text();
    m_field = wholeSelected ? 0 : m_picker->currentSectionIndex();
    m_digits.clear();
    m_typed.clear();
    m_fieldJustFilled = false;
    const QDateTime shown = m_picker->dateTime();
    m_year = shown.date().year();
    m_month = shown.date().month();
    m_day = shown.date().day();
    m_hour = shown.time().hour();
    m_minute = shown.time().minute();
    m_second = shown.time().second();
    m_msec = shown.time().msec();
    m_active = true;
}

bool PickerTyping::typeCharacter(QChar c)
{
    if (!m_active)
        begin();
    if (m_field < 0 || m_field >= int(m_fields.size()) || m_fields[size_t(m_field)] == Field::Other)
        return false;
    m_typed += c;
    const Field field = m_fields[size_t(m_field)];
    if (c.isDigit() && field != Field::AmPm)
        typeDigit(c.digitValue());
    else if (field == Field::AmPm && c.isLetter())
        typeAmPm(c);
    else if (c.isLetterOrNumber())
        return true; // a letter where a number goes is swallowed, as a field would refuse it
    else if (m_fieldJustFilled)
        m_fieldJustFilled = false; // the separator after a full field was already skipped
    else
        advance(false);
    takeWhole();
    show();
    return true;
}

void PickerTyping::typeDigit(int digit)
{
    m_digits += QChar(u'0' + digit);
    const Field field = m_fields[size_t(m_field)];
    const int n = m_digits.toInt();
    switch (field) {
    case Field::Day:
        m_day = n;
        break;
    case Field::Month:
        m_month = n;
        break;
    case Field::Year:
        // One or two digits name a year of this century, as the short forms do.
        m_year = m_digits.size() <= 2 ? 2000 + n : n;
        break;
    case Field::Hour24:
        m_hour = n;
        break;
    case Field::Hour12:
        m_hour = n % 12 + (m_hour >= 12 ? 12 : 0);
        break;
    case Field::Minute:
        m_minute = n;
        break;
    case Field::Second:
        m_second = n;
        m_msec = 0; // a typed second is a whole second
        break;
    case Field::Millisecond:
        m_msec = n;
        break;
    default:
        break;
    }
    if (m_digits.size() >= maxDigits(field) || n * 10 > maxValue(field))
        advance(true);
    else
        m_fieldJustFilled = false;
}

void PickerTyping::typeAmPm(QChar c)
{
    const QLocale locale = m_picker->locale();
    const QChar lower = c.toLower();
    if (locale.amText().startsWith(lower, Qt::CaseInsensitive) && m_hour >= 12)
        m_hour -= 12;
    else if (locale.pmText().startsWith(lower, Qt::CaseInsensitive) && m_hour < 12)
        m_hour += 12;
    advance(true);
}

void PickerTyping::advance(bool byDigits)
{
    m_digits.clear();
    if (m_field + 1 < int(m_fields.size()))
        ++m_field;
    m_fieldJustFilled = byDigits;
}

void PickerTyping::takeWhole()
{
    const QDateTime whole = m_picker->locale().toDateTime(m_typed, m_picker->displayFormat());
    if (!whole.isValid())
        return;
    for (const Field field : m_fields) {
        switch (field) {
        case Field::Day:
        case Field::Month:
        case Field::Year:
            m_year = whole.date().year();
            m_month = whole.date().month();
            m_day = whole.date().day();
            break;
        case Field::Hour24:
        case Field::Hour12:
        case Field::Minute:
        case Field::Second:
            m_hour = whole.time().hour();
            m_minute = whole.time().minute();
            m_second = whole.time().second();
            m_msec = whole.time().msec();
            break;
        default:
            break;
        }
    }
}

void PickerTyping::show()
{
    // A field still half typed (a month of 0) leaves the shown value as it is.
    if (m_month >= 1 && m_month <= 12 && m_day >= 1) {
        const int lastDay = QDate(m_year, m_month, 1).daysInMonth();
        const QDate date(m_year, m_month, std::min(m_day, lastDay));
        const QTime time(m_hour, m_minute, m_second, m_msec);
        // In the picker's own kind of time (its Qt::TimeSpec): a date picker counts in UTC, and a
        // local time handed to it would be moved by the zone's offset.
        if (date.isValid() && time.isValid() && date >= m_picker->minimumDate() &&
            date <= m_picker->maximumDate())
            m_picker->setDateTime(QDateTime(date, time, m_picker->timeSpec()));
    }
    m_picker->setCurrentSectionIndex(m_field);
    m_picker->setSelectedSection(m_picker->currentSection());
}
