// The settings dialog as it is laid out: every control in its own place, the fixed texts, the
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

using DialogLayout = SettingsDialogTest;

std::string name(const QWidget* w)
{
    return w->metaObject()->className() + std::string(" at ") + std::to_string(w->geometry().x()) +
           "," + std::to_string(w->geometry().y());
}

TEST_F(DialogLayout, EveryControlLiesWithinItsParentAndCoversNoOther)
{
    const QList<QWidget*> controls {dialog->gbData,     dialog->cbNewYear, dialog->cbDatum,
                                    dialog->DatePicker, dialog->Label2,    dialog->TimePicker,
                                    dialog->lbl_Name01, dialog->Memo1,     dialog->Label1,
                                    dialog->Memo2,      dialog->gbColors,  dialog->LabelTest,
                                    dialog->bFont,      dialog->cbShadow,  dialog->gbImage,
                                    dialog->ImageAlign, dialog->OKBtn,     dialog->bCancel};
    for (const QWidget* c : controls) {
        ASSERT_NE(c, nullptr);
        EXPECT_TRUE(c->parentWidget()->rect().contains(c->geometry())) << name(c);
        for (const QWidget* other : controls) {
            if (other != c && other->parentWidget() == c->parentWidget()) {
                EXPECT_FALSE(c->geometry().intersects(other->geometry()))
                    << name(c) << " and " << name(other);
            }
        }
    }
}

TEST_F(DialogLayout, TextsAreTheProgramsOwn)
{
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Einstellungen"));
    EXPECT_EQ(dialog->cbNewYear->text(), QStringLiteral("Nächste Neue Jahr 2027"));
    EXPECT_EQ(dialog->cbDatum->text(), QStringLiteral("Datum: "));
    EXPECT_EQ(dialog->Label2->text(), QStringLiteral("Zeit:"));
    EXPECT_EQ(dialog->lbl_Name01->text(), QStringLiteral("Titel:"));
    EXPECT_EQ(dialog->Label1->text(), QStringLiteral("Beispiele:"));
    EXPECT_EQ(dialog->gbColors->title(), QStringLiteral(" Text "));
    EXPECT_EQ(dialog->gbImage->title(), QStringLiteral(" Grafik align "));
    EXPECT_EQ(dialog->gbData->title(), QString());
    EXPECT_EQ(dialog->LabelTest->caption(), QStringLiteral("Sonst"));
    EXPECT_EQ(dialog->bFont->text(), QStringLiteral("Schrift"));
    EXPECT_EQ(dialog->cbShadow->text(), QStringLiteral("Schatten"));
    EXPECT_EQ(dialog->OKBtn->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog->bCancel->text(), QStringLiteral("Abbrechen"));

    const QStringList rows {"Oberteil", "Unterteil", "Links", "Rechts", "Voll"};
    ASSERT_EQ(dialog->ImageAlign->count(), rows.size());
    for (int i = 0; i < rows.size(); ++i)
        EXPECT_EQ(dialog->ImageAlign->item(i)->text(), rows[i]);

    const QTextDocument* examples = dialog->Memo2->document();
    ASSERT_EQ(examples->blockCount(), 10);
    EXPECT_EQ(examples->firstBlock().text(), QStringLiteral("%Y - Nachste Jahr"));
    EXPECT_EQ(examples->lastBlock().text(), QStringLiteral("%Z - Berechnete Datum"));
    EXPECT_TRUE(dialog->Memo2->isReadOnly());
}

TEST_F(DialogLayout, FrameHasACloseBoxButNoMinimiseOrMaximise)
{
    const Qt::WindowFlags flags = dialog->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
    EXPECT_NE(dialog->minimumSize(), dialog->maximumSize()) << "the frame stays resizable";
}

} // namespace
