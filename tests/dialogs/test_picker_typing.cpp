// Typing into the date and time pickers: a click selects the field, digits replace it, a whole
// date or time in the shown form is taken, and the arrow keys still step.

#include "dialog_support.h"
#include "dialogs/DatePicker.h"
#include "dialogs/TimePicker.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Typing {
    const char* what;
    bool datePicker;
    int clickAt;          // character of the shown text the click lands on
    const char* typed;    // "^" and "v" stand for the arrow keys
    const char* expected; // the picker's value afterwards, dd.MM.yyyy HH:mm:ss
};

const Typing kTyping[] = {
    {"day replaced", true, 1, "24", "24.11.2026 13:45:30"},
    {"month replaced by one digit", true, 4, "3", "30.03.2026 13:45:30"},
    {"month beyond the shown day", true, 4, "2", "28.02.2026 13:45:30"},
    {"year replaced", true, 7, "2030", "30.11.2030 13:45:30"},
    {"whole date from the day", true, 0, "07.12.2026", "07.12.2026 13:45:30"},
    {"whole date from the year", true, 8, "07.12.2026", "07.12.2026 13:45:30"},
    {"day past the shown month's end", true, 1, "31.12.2026", "31.12.2026 13:45:30"},
    {"short fields with separators", true, 1, "7.2.27", "07.02.2027 13:45:30"},
    {"down arrow steps the day", true, 1, "v", "29.11.2026 13:45:30"},
    {"hour replaced", false, 1, "20", "30.11.2026 20:45:30"},
    {"minute by one digit", false, 4, "7", "30.11.2026 13:07:30"},
    {"whole time from the hour", false, 0, "14:51:00", "30.11.2026 14:51:00"},
    {"whole time from the second", false, 7, "14:51:00", "30.11.2026 14:51:00"},
    {"up arrow steps the hour", false, 1, "^", "30.11.2026 14:45:30"},
};

class PickerTyping : public testing::TestWithParam<Typing> { };

// A click at the given character of the shown text, as the mouse would put it there.
void clickCharacter(QLineEdit& edit, int index)
{
    for (int x = 0; x < edit.width(); ++x) {
        if (edit.cursorPositionAt(QPoint(x, edit.height() / 2)) == index + 1) {
            click(edit, QPoint(x - 1, edit.height() / 2));
            return;
        }
    }
    ADD_FAILURE() << "no point shows character " << index;
}

TEST_P(PickerTyping, ClickAndTypeReplacesTheField)
{
    const Typing& row = GetParam();
    TDatePicker datePicker;
    TTimePicker timePicker;
    QDateTimeEdit& picker = row.datePicker ? static_cast<QDateTimeEdit&>(datePicker) : timePicker;
    // The German forms, whatever the test machine's locale.
    picker.setLocale(QLocale(QLocale::German, QLocale::Germany));
    picker.setDisplayFormat(row.datePicker ? QStringLiteral("dd.MM.yyyy")
                                           : QStringLiteral("HH:mm:ss"));
    const TDateTime start = encodeDateTime({2026, 11, 30, 13, 45, 30, 500});
    datePicker.setValue(start);
    timePicker.setValue(start);
    picker.resize(120, 24);
    ASSERT_TRUE(showActive(picker));

    auto* edit = picker.findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    clickCharacter(*edit, row.clickAt);
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasSelectedText(); }));
    for (const QChar c : QString::fromLatin1(row.typed)) {
        if (c == u'^' || c == u'v')
            pressKey(picker, c == u'^' ? Qt::Key_Up : Qt::Key_Down);
        else
            pressKey(picker, c.isDigit() ? Qt::Key_0 + c.digitValue() : int(c.unicode()),
                     Qt::NoModifier, QString(c));
    }

    const TDateTime value = row.datePicker ? datePicker.value() : timePicker.value();
    const CalendarTime t = decodeDateTime(value);
    const QDateTime got(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
    EXPECT_EQ(got.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
              QString::fromLatin1(row.expected))
        << row.what;
}

INSTANTIATE_TEST_SUITE_P(Rows, PickerTyping, testing::ValuesIn(kTyping));

} // namespace
