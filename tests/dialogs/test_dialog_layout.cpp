// The settings dialog as it is laid out: captions, places and sizes, fixed texts, the
// window's frame.

#include "dialog_support.h"

#include "dialogs/AlignmentList.h"
#include "dialogs/DatePicker.h"
#include "dialogs/TemplateEditor.h"
#include "dialogs/TimePicker.h"
#include "dialogs/UCfg.h"
#include "display/Label3D.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <gtest/gtest.h>

namespace {

class DialogLayout : public testing::Test {
protected:
    FixedClock clock {CalendarTime {2026, 12, 7, 10, 30, 0, 0}};
    QWidget mainWindow;
    TCFGDialog dialog {&mainWindow, clock};
};

struct Placement {
    const char* name;
    QWidget* control;
    QWidget* parent;
    QRect geometry;
};

TEST_F(DialogLayout, ControlsSitWhereTheFormPlacesThem)
{
    const Placement table[] = {
        {"gbData", dialog.gbData, &dialog, QRect(8, 5, 273, 55)},
        {"cbNewYear", dialog.cbNewYear, dialog.gbData, QRect(8, 9, 161, 17)},
        {"cbDatum", dialog.cbDatum, dialog.gbData, QRect(9, 31, 56, 17)},
        {"DatePicker", dialog.DatePicker, dialog.gbData, QRect(65, 28, 88, 21)},
        {"TimePicker", dialog.TimePicker, dialog.gbData, QRect(190, 28, 76, 21)},
        {"Memo1", dialog.Memo1, &dialog, QRect(7, 80, 274, 89)},
        {"Memo2", dialog.Memo2, &dialog, QRect(288, 25, 124, 145)},
        {"gbColors", dialog.gbColors, &dialog, QRect(192, 177, 89, 96)},
        {"LabelTest", dialog.LabelTest, dialog.gbColors, QRect(8, 18, 73, 26)},
        {"bFont", dialog.bFont, dialog.gbColors, QRect(8, 46, 73, 28)},
        {"cbShadow", dialog.cbShadow, dialog.gbColors, QRect(11, 75, 70, 17)},
        {"gbImage", dialog.gbImage, &dialog, QRect(288, 177, 124, 96)},
        {"ImageAlign", dialog.ImageAlign, dialog.gbImage, QRect(7, 17, 108, 70)},
        {"OKBtn", dialog.OKBtn, &dialog, QRect(191, 282, 90, 30)},
        {"bCancel", dialog.bCancel, &dialog, QRect(288, 282, 124, 30)},
    };
    for (const Placement& p : table) {
        ASSERT_NE(p.control, nullptr) << p.name;
        EXPECT_EQ(p.control->parentWidget(), p.parent) << p.name;
        EXPECT_EQ(p.control->geometry(), p.geometry) << p.name;
    }
    EXPECT_EQ(dialog.lbl_Name01->pos(), QPoint(7, 64));
    EXPECT_EQ(dialog.Label1->pos(), QPoint(288, 10));
    EXPECT_EQ(dialog.Label2->pos(), QPoint(167, 32));
}

TEST_F(DialogLayout, TextsAreTheProgramsOwn)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Einstellungen"));
    EXPECT_EQ(dialog.cbNewYear->text(), QStringLiteral("Nächste Neue Jahr 2027"));
    EXPECT_EQ(dialog.cbDatum->text(), QStringLiteral("Datum: "));
    EXPECT_EQ(dialog.Label2->text(), QStringLiteral("Zeit:"));
    EXPECT_EQ(dialog.lbl_Name01->text(), QStringLiteral("Titel:"));
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("Beispiele:"));
    EXPECT_EQ(dialog.gbColors->title(), QStringLiteral(" Text "));
    EXPECT_EQ(dialog.gbImage->title(), QStringLiteral(" Grafik align "));
    EXPECT_EQ(dialog.gbData->title(), QString());
    EXPECT_EQ(dialog.LabelTest->caption(), QStringLiteral("Sonst"));
    EXPECT_EQ(dialog.bFont->text(), QStringLiteral("Schrift"));
    EXPECT_EQ(dialog.cbShadow->text(), QStringLiteral("Schatten"));
    EXPECT_EQ(dialog.OKBtn->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.bCancel->text(), QStringLiteral("Abbrechen"));

    const QStringList rows {"Oberteil", "Unterteil", "Links", "Rechts", "Voll"};
    ASSERT_EQ(dialog.ImageAlign->count(), rows.size());
    for (int i = 0; i < rows.size(); ++i)
        EXPECT_EQ(dialog.ImageAlign->item(i)->text(), rows[i]);

    const QTextDocument* examples = dialog.Memo2->document();
    ASSERT_EQ(examples->blockCount(), 10);
    EXPECT_EQ(examples->firstBlock().text(), QStringLiteral("%Y - Nachste Jahr"));
    EXPECT_EQ(examples->lastBlock().text(), QStringLiteral("%Z - Berechnete Datum"));
    EXPECT_TRUE(dialog.Memo2->isReadOnly());
}

TEST_F(DialogLayout, DesignTimeStateOfTheControls)
{
    EXPECT_TRUE(dialog.cbNewYear->isChecked());
    EXPECT_FALSE(dialog.DatePicker->isEnabledTo(&dialog));
    EXPECT_FALSE(dialog.TimePicker->isEnabledTo(&dialog));
    EXPECT_TRUE(dialog.DatePicker->calendarPopup());
    EXPECT_TRUE(dialog.DatePicker->displayFormat().contains(QStringLiteral("yyyy")));
    EXPECT_TRUE(dialog.TimePicker->displayFormat().contains(u's'));
    EXPECT_TRUE(dialog.OKBtn->isDefault());
    EXPECT_EQ(dialog.bFont->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(dialog.LabelTest->bevel(), blShadow);
    EXPECT_EQ(dialog.LabelTest->shadowColor(), clBlack);
    EXPECT_EQ(dialog.LabelTest->color(), clBlack);
    EXPECT_EQ(dialog.LabelTest->fontColor(), clWhite);
    EXPECT_FALSE(dialog.LabelTest->transparent());
    EXPECT_EQ(dialog.LabelTest->textAlignment(), taCenter);
    EXPECT_EQ(dialog.LabelTest->textLayout(), tlCenter);
    EXPECT_EQ(dialog.LabelTest->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(dialog.font().pixelSize(), 11);
}

TEST_F(DialogLayout, FrameHasACloseBoxButNoMinimiseOrMaximise)
{
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
    EXPECT_NE(dialog.minimumSize(), dialog.maximumSize()) << "the frame stays resizable";
}

} // namespace
