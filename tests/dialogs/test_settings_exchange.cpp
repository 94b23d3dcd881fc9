// The settings exchange: what filling puts into the dialog's controls and what reading back
// makes of them, for OK and for cancel.

#include "dialog_support.h"

#include "countdown/DateTime.h"
#include "dialogs/AlignmentList.h"
#include "dialogs/DatePicker.h"
#include "dialogs/SettingsExchange.h"
#include "dialogs/TemplateEditor.h"
#include "dialogs/TimePicker.h"
#include "dialogs/UCfg.h"
#include "display/Label3D.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

TDateTime dateTime(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return encodeDateTime(CalendarTime {y, mo, d, h, mi, s, ms});
}

ExchangeValues someValues()
{
    ExchangeValues v;
    Settings& s = v.settings;
    s.pictureAlignment = 3;
    s.backgroundColor = 0x00336699;
    s.titleFontName = QStringLiteral("DejaVu Serif");
    s.titleBold = s.titleItalic = s.titleUnderline = true;
    s.titleColor = 0x0000FF00;
    s.titleCharset = 238;
    s.pickedDate = dateTime(2027, 3, 4, 17, 20, 5, 250);
    s.usePickedDate = true;
    s.shadow = true;
    v.target = s.pickedDate;
    return v;
}

class SettingsExchange : public SettingsDialogTest {
protected:
    std::vector<int> previews;

    void SetUp() override
    {
        dialog->onAlignmentPreview = [this](int row) { previews.push_back(row); };
    }

    // Types text at the end of the template, as the user would.
    void typeIntoTemplate(const QString& text)
    {
        QTextCursor cursor = dialog->Memo1->textCursor();
        cursor.movePosition(QTextCursor::End);
        dialog->Memo1->setTextCursor(cursor);
        dialog->Memo1->insertPlainText(text);
    }
};

TEST_F(SettingsExchange, FillingPutsEverySettingIntoItsControl)
{
    const ExchangeValues v = someValues();
    fillDialog(*dialog, v);

    EXPECT_EQ(dialog->Memo1->templateText(), kDefaultTemplate);
    EXPECT_EQ(dialog->Memo1->document()->blockCount(), 2);
    EXPECT_EQ(dialog->ImageAlign->selectedRow(), 3);
    EXPECT_EQ(dialog->ImageAlign->tag(), 3);
    EXPECT_EQ(dialog->LabelTest->color(), v.settings.backgroundColor);
    EXPECT_EQ(dialog->LabelTest->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_TRUE(dialog->LabelTest->font().bold());
    EXPECT_TRUE(dialog->LabelTest->font().italic());
    EXPECT_TRUE(dialog->LabelTest->font().underline());
    EXPECT_FALSE(dialog->LabelTest->font().strikeOut());
    EXPECT_EQ(dialog->LabelTest->fontColor(), v.settings.titleColor);
    EXPECT_EQ(dialog->LabelTest->fontCharset(), 238);
    EXPECT_EQ(dialog->LabelTest->fontPointSize(), 14);
    EXPECT_EQ(dialog->DatePicker->value(), v.settings.pickedDate);
    EXPECT_EQ(dialog->TimePicker->value(), v.settings.pickedDate);
    EXPECT_EQ(dialog->DatePicker->date(), QDate(2027, 3, 4));
    EXPECT_EQ(dialog->TimePicker->time(), QTime(17, 20, 5, 250));
    EXPECT_TRUE(dialog->cbDatum->isChecked());
    EXPECT_FALSE(dialog->cbNewYear->isChecked());
    EXPECT_TRUE(dialog->DatePicker->isEnabledTo(dialog.get()));
    EXPECT_TRUE(dialog->TimePicker->isEnabledTo(dialog.get()));
    EXPECT_TRUE(dialog->cbShadow->isChecked());
    EXPECT_TRUE(previews.empty()) << "filling must not preview an alignment";
}

TEST_F(SettingsExchange, UntouchedDialogGivesBackWhatItWasFilledWith)
{
    const ExchangeValues before = someValues();
    ExchangeValues after = before;
    fillDialog(*dialog, before);
    dialog->FormShow();
    readBack(*dialog, mrOk, after, clock);

    EXPECT_TRUE(after.settings == before.settings)
        << "the picked moment keeps its fraction of a second, the font its style";
    EXPECT_EQ(after.target, before.target);
}

TEST_F(SettingsExchange, OkTakesWhatTheUserChanged)
{
    ExchangeValues v = someValues();
    fillDialog(*dialog, v);
    typeIntoTemplate(QStringLiteral("\n%A"));
    dialog->cbShadow->setChecked(false);
    dialog->cbNewYear->setChecked(true);
    dialog->LabelTest->setColor(0x00010203);
    dialog->ImageAlign->setCurrentRow(4);
    readBack(*dialog, mrOk, v, clock);

    EXPECT_EQ(v.settings.titleTemplate, kDefaultTemplate + QStringLiteral("\r\n%A"));
    EXPECT_FALSE(v.settings.shadow);
    EXPECT_FALSE(v.settings.usePickedDate);
    EXPECT_EQ(v.target, dateTime(2027, 1, 1));
    EXPECT_EQ(v.settings.pickedDate, someValues().settings.pickedDate)
        << "the pickers' moment is kept for the next showing";
    EXPECT_EQ(v.settings.backgroundColor, 0x00010203u);
    EXPECT_EQ(v.settings.pictureAlignment, 4);
    EXPECT_EQ(previews, std::vector<int> {4});
}

struct AlignmentCase {
    int stored;
    int selectedRow;
};

class AlignmentRows : public SettingsExchange,
                      public testing::WithParamInterface<AlignmentCase> { };

TEST_P(AlignmentRows, StoredAlignmentSelectsItsRowAndCancelRestoresIt)
{
    const AlignmentCase c = GetParam();
    ExchangeValues v = someValues();
    v.settings.pictureAlignment = c.stored;
    fillDialog(*dialog, v);
    EXPECT_EQ(dialog->ImageAlign->selectedRow(), c.selectedRow);

    ExchangeValues okValues = v;
    readBack(*dialog, mrOk, okValues, clock);
    EXPECT_EQ(okValues.settings.pictureAlignment, c.selectedRow) << "OK without a row stores -1";

    ExchangeValues cancelValues = v;
    cancelValues.settings.pictureAlignment = 2; // as a preview left it
    readBack(*dialog, mrCancel, cancelValues, clock);
    EXPECT_EQ(cancelValues.settings.pictureAlignment, c.stored);
}

INSTANTIATE_TEST_SUITE_P(Rows, AlignmentRows,
                         testing::Values(AlignmentCase {0, 0}, AlignmentCase {1, 1},
                                         AlignmentCase {2, 2}, AlignmentCase {3, 3},
                                         AlignmentCase {4, 4}, AlignmentCase {-1, -1},
                                         AlignmentCase {5, -1}, AlignmentCase {9, -1}));

TEST_F(SettingsExchange, CancelChangesNothingButUndoesThePreviews)
{
    ExchangeValues values = someValues();
    dialog->onAlignmentPreview = [&](int row) { values.settings.pictureAlignment = row; };
    fillDialog(*dialog, values);
    typeIntoTemplate(QStringLiteral("x"));
    dialog->cbShadow->setChecked(false);
    dialog->cbNewYear->setChecked(true);
    dialog->LabelTest->setColor(clWhite);
    dialog->LabelTest->setFontColor(clBlack);
    dialog->DatePicker->setDate(QDate(2030, 1, 1));
    dialog->ImageAlign->setCurrentRow(2);
    ASSERT_EQ(values.settings.pictureAlignment, 2) << "the list previews at once";

    readBack(*dialog, mrCancel, values, clock);
    EXPECT_TRUE(values.settings == someValues().settings);
    EXPECT_EQ(values.target, someValues().target);
}

struct PickedCase {
    const char* name;
    TDateTime dateValue;
    TDateTime timeValue;
    CalendarTime expected;
};

class PickedMoment : public SettingsExchange, public testing::WithParamInterface<PickedCase> { };

TEST_P(PickedMoment, IsTheDateOfOnePickerWithTheTimeOfTheOther)
{
    const PickedCase c = GetParam();
    ExchangeValues v = someValues();
    fillDialog(*dialog, v);
    dialog->DatePicker->setValue(c.dateValue);
    dialog->TimePicker->setValue(c.timeValue);
    readBack(*dialog, mrOk, v, clock);
    EXPECT_EQ(decodeDateTime(v.settings.pickedDate), c.expected);
    EXPECT_EQ(decodeDateTime(v.target), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pickers, PickedMoment,
    testing::Values(PickedCase {"LaterDateEarlierTime", dateTime(2027, 3, 4, 17, 20),
                                dateTime(2026, 1, 1, 6, 30, 15, 250),
                                CalendarTime {2027, 3, 4, 6, 30, 15, 250}},
                    PickedCase {"EarlierDateLaterTime", dateTime(2025, 5, 6, 1, 2, 3),
                                dateTime(2031, 8, 9, 23, 59, 59, 999),
                                CalendarTime {2025, 5, 6, 23, 59, 59, 999}},
                    PickedCase {"MidnightTime", dateTime(2026, 12, 31, 12), dateTime(2026, 12, 31),
                                CalendarTime {2026, 12, 31, 0, 0, 0, 0}},
                    PickedCase {"DateBefore1899", dateTime(1850, 7, 1, 3), dateTime(2026, 1, 1, 18),
                                CalendarTime {1850, 7, 1, 18, 0, 0, 0}}),
    [](const testing::TestParamInfo<PickedCase>& test) { return std::string(test.param.name); });

TEST_F(SettingsExchange, PickerEditsByTheUserMakeThePickedMoment)
{
    ExchangeValues v = someValues();
    fillDialog(*dialog, v);
    dialog->DatePicker->setDate(QDate(2028, 2, 29));
    dialog->TimePicker->setTime(QTime(8, 9, 10));
    readBack(*dialog, mrOk, v, clock);
    EXPECT_EQ(decodeDateTime(v.settings.pickedDate), (CalendarTime {2028, 2, 29, 8, 9, 10, 0}));
    EXPECT_TRUE(v.settings.usePickedDate);
    EXPECT_EQ(v.target, v.settings.pickedDate);
}

struct NewYearCase {
    CalendarTime now;
    int expectedYear;
};

class NewYearChoice : public SettingsExchange, public testing::WithParamInterface<NewYearCase> { };

TEST_P(NewYearChoice, TargetsMidnightExactly)
{
    const NewYearCase c = GetParam();
    clock.set(c.now);
    ExchangeValues v = someValues();
    v.settings.usePickedDate = false;
    fillDialog(*dialog, v);
    readBack(*dialog, mrOk, v, clock);
    EXPECT_FALSE(v.settings.usePickedDate);
    EXPECT_EQ(v.target, std::trunc(v.target)) << "no fraction of a second";
    EXPECT_EQ(decodeDateTime(v.target), (CalendarTime {c.expectedYear, 1, 1, 0, 0, 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(Clock, NewYearChoice,
                         testing::Values(NewYearCase {{2026, 12, 31, 23, 59, 59, 999}, 2027},
                                         NewYearCase {{2026, 1, 1, 0, 0, 0, 0}, 2027},
                                         NewYearCase {{2026, 7, 15, 12, 34, 56, 789}, 2027},
                                         NewYearCase {{2009, 1, 1, 0, 0, 0, 1}, 2010}));

TEST_F(SettingsExchange, NewYearCaptionIsTheYearAfterStartAndStaysSo)
{
    FixedClock startedIn2008 {CalendarTime {2008, 12, 31, 23, 59, 0, 0}};
    TCFGDialog created(&mainWindow, startedIn2008);
    EXPECT_EQ(created.cbNewYear->text(), QStringLiteral("Nächste Neue Jahr 2009"));

    startedIn2008.set(CalendarTime {2009, 1, 1, 0, 0, 1, 0});
    ExchangeValues v = someValues();
    v.settings.usePickedDate = false;
    fillDialog(created, v);
    created.FormShow();
    EXPECT_EQ(created.cbNewYear->text(), QStringLiteral("Nächste Neue Jahr 2009"));
    readBack(created, mrOk, v, startedIn2008);
    EXPECT_EQ(decodeDateTime(v.target), (CalendarTime {2010, 1, 1, 0, 0, 0, 0}));
}

TEST_F(SettingsExchange, PickersAreEnabledExactlyWhenDatumIsChecked)
{
    ExchangeValues v = someValues();
    v.settings.usePickedDate = false;
    fillDialog(*dialog, v);
    EXPECT_TRUE(dialog->cbNewYear->isChecked());
    EXPECT_FALSE(dialog->DatePicker->isEnabledTo(dialog.get()));
    EXPECT_FALSE(dialog->TimePicker->isEnabledTo(dialog.get()));

    dialog->cbDatum->click();
    EXPECT_TRUE(dialog->DatePicker->isEnabledTo(dialog.get()));
    EXPECT_TRUE(dialog->TimePicker->isEnabledTo(dialog.get()));
    dialog->bCancelClick();
    readBack(*dialog, dialog->result(), v, clock);

    fillDialog(*dialog, v);
    EXPECT_TRUE(dialog->cbNewYear->isChecked()) << "a cancelled choice is not shown again";
    EXPECT_FALSE(dialog->DatePicker->isEnabledTo(dialog.get()));
    EXPECT_FALSE(dialog->TimePicker->isEnabledTo(dialog.get()));
}

TEST_F(SettingsExchange, DamagedPickedValueShowsAsTheNextNewYear)
{
    for (const double damaged : {std::nan(""), 1e300, -1e9}) {
        ExchangeValues v = someValues();
        v.settings.pickedDate = damaged;
        v.settings.usePickedDate = true;
        fillDialog(*dialog, v);
        EXPECT_EQ(dialog->DatePicker->value(), dateTime(2027, 1, 1)) << damaged;
        EXPECT_EQ(dialog->TimePicker->value(), dateTime(2027, 1, 1)) << damaged;
        readBack(*dialog, mrOk, v, clock);
        EXPECT_EQ(v.settings.pickedDate, dateTime(2027, 1, 1)) << damaged;
        EXPECT_EQ(v.target, dateTime(2027, 1, 1)) << damaged;
    }
}

struct ShadowCase {
    bool checked;
    int previewShadow;
};

class ShadowPreview : public SettingsExchange, public testing::WithParamInterface<ShadowCase> { };

TEST_P(ShadowPreview, FollowsTheCheckBox)
{
    const ShadowCase c = GetParam();
    ExchangeValues v = someValues();
    v.settings.shadow = c.checked;
    fillDialog(*dialog, v);
    dialog->LabelTest->setShadowSize(7);
    dialog->FormShow();
    EXPECT_EQ(dialog->LabelTest->shadowSize(), c.previewShadow);

    dialog->cbShadow->click();
    EXPECT_EQ(dialog->LabelTest->shadowSize(), c.checked ? 0 : 2) << "the click flips it";
}

INSTANTIATE_TEST_SUITE_P(Box, ShadowPreview,
                         testing::Values(ShadowCase {true, 2}, ShadowCase {false, 0}));

TEST_F(SettingsExchange, TemplateLinesShowAsLinesAndComeBackWithCrLf)
{
    ExchangeValues v = someValues();
    v.settings.titleTemplate = QStringLiteral("eins\r\nzwei\r\n\r\ndrei\u00A0%S");
    fillDialog(*dialog, v);
    const QTextDocument* doc = dialog->Memo1->document();
    ASSERT_EQ(doc->blockCount(), 4);
    EXPECT_EQ(doc->findBlockByNumber(1).text(), QStringLiteral("zwei"));
    EXPECT_EQ(doc->findBlockByNumber(2).text(), QString());

    typeIntoTemplate(QStringLiteral("!"));
    readBack(*dialog, mrOk, v, clock);
    EXPECT_EQ(v.settings.titleTemplate, QStringLiteral("eins\r\nzwei\r\n\r\ndrei\u00A0%S!"));
}

TEST_F(SettingsExchange, UnusualLineBreaksSurviveAnUntouchedEditor)
{
    ExchangeValues v = someValues();
    v.settings.titleTemplate = QStringLiteral("a\nb\rc\r\nd");
    fillDialog(*dialog, v);
    EXPECT_EQ(dialog->Memo1->document()->blockCount(), 4);
    readBack(*dialog, mrOk, v, clock);
    EXPECT_EQ(v.settings.titleTemplate, QStringLiteral("a\nb\rc\r\nd"));
}

} // namespace
