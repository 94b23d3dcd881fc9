// The font and colour choosers as the settings dialog runs them: the one offered size, what
// an untouched chooser gives back, and what OK and cancel do to the preview and the button.

#include "dialog_support.h"

#include "dialogs/FontChooser.h"
#include "dialogs/SettingsExchange.h"
#include "dialogs/UCfg.h"
#include "display/Label3D.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr TColor kRed = 0x000000FF;

QStringList offeredSizes(const TFontChooser& chooser)
{
    QStringList sizes;
    for (int row = 0; row < chooser.sizeList->count(); ++row)
        sizes << chooser.sizeList->item(row)->text();
    return sizes;
}

int rowOf(const QListWidget& list, const QString& text)
{
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->text() == text)
            return row;
    }
    return -1;
}

FontSpec unusualFont()
{
    FontSpec font;
    font.face = QFont(QStringLiteral("No Such Face 1234"));
    font.face.setWeight(QFont::DemiBold);
    font.face.setStrikeOut(true);
    font.color = 0x00123456;
    font.charset = 238;
    font.pointSize = 14;
    return font;
}

struct SizeCase {
    int minSize;
    int maxSize;
    QStringList offered;
};

class ChooserSizes : public testing::TestWithParam<SizeCase> { };

TEST_P(ChooserSizes, OfferOnlyTheSizesBetweenTheLimits)
{
    const SizeCase c = GetParam();
    TFontChooser chooser;
    chooser.setChosenFont(unusualFont());
    chooser.setSizeLimits(c.minSize, c.maxSize);
    EXPECT_EQ(offeredSizes(chooser), c.offered);
}

INSTANTIATE_TEST_SUITE_P(Limits, ChooserSizes,
                         testing::Values(SizeCase {14, 14, {"14"}}, SizeCase {95, 95, {"95"}},
                                         SizeCase {37, 37, {"37"}},
                                         SizeCase {10, 13, {"10", "11", "12", "13"}},
                                         SizeCase {15, 17, {"15", "16", "17"}},
                                         SizeCase {30, 40, {"30", "36", "40"}}));

TEST(FontChooser, UntouchedGivesBackTheFontAsGiven)
{
    for (const TColor color : {TColor(0x00123456), kRed, clWindowText}) {
        TFontChooser chooser;
        FontSpec given = unusualFont();
        given.color = color;
        chooser.setChosenFont(given);
        const FontSpec back = chooser.chosenFont();
        EXPECT_EQ(back.face.family(), given.face.family());
        EXPECT_EQ(back.face.weight(), QFont::DemiBold);
        EXPECT_EQ(back.face.strikeOut(), true);
        EXPECT_EQ(back.face.underline(), false);
        EXPECT_EQ(back.color, color);
        EXPECT_EQ(back.charset, 238);
        EXPECT_EQ(back.pointSize, 14);
    }
}

TEST(FontChooser, TakesTheChangedChoices)
{
    TFontChooser chooser;
    chooser.setChosenFont(unusualFont());
    const QString family = QFontDatabase::families().value(0);
    ASSERT_FALSE(family.isEmpty());
    chooser.familyList->setCurrentRow(rowOf(*chooser.familyList, family));
    chooser.styleList->setCurrentRow(rowOf(*chooser.styleList, QStringLiteral("Fett Kursiv")));
    chooser.underlineBox->setChecked(true);
    chooser.strikeOutBox->setChecked(false);
    chooser.colorBox->setCurrentIndex(chooser.colorBox->findText(QStringLiteral("Rot")));
    const int western = chooser.scriptBox->findData(0);
    if (western >= 0)
        chooser.scriptBox->setCurrentIndex(western);

    const FontSpec back = chooser.chosenFont();
    EXPECT_EQ(back.face.family(), family);
    EXPECT_TRUE(back.face.bold());
    EXPECT_TRUE(back.face.italic());
    EXPECT_TRUE(back.face.underline());
    EXPECT_FALSE(back.face.strikeOut());
    EXPECT_EQ(back.color, kRed);
    EXPECT_EQ(back.charset, western >= 0 ? 0 : 238);
}

TEST(FontChooser, CustomColourComesFromTheColourPickerAndCancelKeepsThePrevious)
{
    TFontChooser chooser;
    FontSpec given = unusualFont();
    given.color = kRed;
    chooser.setChosenFont(given);
    const int custom = chooser.colorBox->findText(QStringLiteral("Benutzerdefiniert"));
    ASSERT_GE(custom, 0);

    chooser.pickCustomColor = [](TColor) { return std::optional<TColor>(); };
    chooser.colorBox->setCurrentIndex(custom);
    emit chooser.colorBox->activated(custom);
    EXPECT_EQ(chooser.chosenFont().color, kRed);

    chooser.pickCustomColor = [](TColor) { return std::optional<TColor>(0x00ABCDEF); };
    chooser.colorBox->setCurrentIndex(custom);
    emit chooser.colorBox->activated(custom);
    EXPECT_EQ(chooser.chosenFont().color, 0x00ABCDEFu);
}

struct ScriptCase {
    QFontDatabase::WritingSystem system;
    int charset;
};

class WritingSystems : public testing::TestWithParam<ScriptCase> { };

TEST_P(WritingSystems, StandForTheirCharacterSets)
{
    EXPECT_EQ(charsetForWritingSystem(GetParam().system), GetParam().charset);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WritingSystems,
    testing::Values(
        ScriptCase {QFontDatabase::Latin, 0}, ScriptCase {QFontDatabase::Symbol, 2},
        ScriptCase {QFontDatabase::Japanese, 128}, ScriptCase {QFontDatabase::Korean, 129},
        ScriptCase {QFontDatabase::SimplifiedChinese, 134},
        ScriptCase {QFontDatabase::TraditionalChinese, 136}, ScriptCase {QFontDatabase::Greek, 161},
        ScriptCase {QFontDatabase::Vietnamese, 163}, ScriptCase {QFontDatabase::Hebrew, 177},
        ScriptCase {QFontDatabase::Arabic, 178}, ScriptCase {QFontDatabase::Cyrillic, 204},
        ScriptCase {QFontDatabase::Thai, 222}, ScriptCase {QFontDatabase::Devanagari, 1},
        ScriptCase {QFontDatabase::Any, 1}));

class DialogChoosers : public SettingsDialogTest {
protected:
    int titleSize = 95;

    void SetUp() override
    {
        dialog->titleFontSize = [this] { return titleSize; };
        ExchangeValues v;
        v.settings.titleFontName = QStringLiteral("DejaVu Sans");
        fillDialog(*dialog, v);
        dialog->FormShow();
    }

    QColor buttonTextColour() const { return dialog->bFont->palette().color(QPalette::ButtonText); }
    QColor normalTextColour() const { return dialog->palette().color(QPalette::WindowText); }
};

TEST_F(DialogChoosers, ButtonShowsTheTitleFaceInTheNormalTextColour)
{
    ASSERT_NE(normalTextColour(), toQColor(clWhite, dialog->palette()));
    EXPECT_EQ(dialog->bFontColor(), clWindowText);
    EXPECT_EQ(buttonTextColour(), normalTextColour());
    EXPECT_EQ(dialog->bFont->font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_TRUE(dialog->bFont->font().bold());
    EXPECT_EQ(dialog->LabelTest->fontColor(), clWhite) << "the preview keeps the title colour";
}

TEST_F(DialogChoosers, FontChooserOffersOnlyTheTitleSizeAndOkKeepsThePreviewAt14)
{
    titleSize = 37;
    QStringList offeredWhileOpen;
    dialog->runFontChooser = [&] {
        TFontChooser& chooser = *dialog->FontDialog1;
        offeredWhileOpen = offeredSizes(chooser);
        chooser.styleList->setCurrentRow(rowOf(*chooser.styleList, QStringLiteral("Kursiv")));
        chooser.underlineBox->setChecked(true);
        chooser.colorBox->setCurrentIndex(chooser.colorBox->findText(QStringLiteral("Rot")));
        return true;
    };
    dialog->bFontClick();

    EXPECT_EQ(offeredWhileOpen, QStringList {QStringLiteral("37")});
    EXPECT_EQ(dialog->LabelTest->fontPointSize(), 14);
    EXPECT_EQ(dialog->LabelTest->font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_TRUE(dialog->LabelTest->font().italic());
    EXPECT_FALSE(dialog->LabelTest->font().bold());
    EXPECT_TRUE(dialog->LabelTest->font().underline());
    EXPECT_EQ(dialog->LabelTest->fontColor(), kRed);
    EXPECT_TRUE(dialog->bFont->font().italic());
    EXPECT_TRUE(dialog->bFont->font().underline());
    EXPECT_EQ(dialog->bFontColor(), clWindowText);
    EXPECT_EQ(buttonTextColour(), normalTextColour());
}

TEST_F(DialogChoosers, CancelledFontChooserChangesNothing)
{
    dialog->runFontChooser = [&] {
        dialog->FontDialog1->styleList->setCurrentRow(0);
        dialog->FontDialog1->colorBox->setCurrentIndex(0);
        return false;
    };
    dialog->bFontClick();
    EXPECT_EQ(dialog->LabelTest->fontPointSize(), 14);
    EXPECT_TRUE(dialog->LabelTest->font().bold());
    EXPECT_EQ(dialog->LabelTest->fontColor(), clWhite);
    EXPECT_TRUE(dialog->bFont->font().bold());
}

TEST_F(DialogChoosers, ColourChooserOpensOnThePreviewColourAndOkTakesTheChoice)
{
    dialog->LabelTest->setColor(0x00204060);
    QColor shownAtOpening;
    dialog->runColorChooser = [&] {
        shownAtOpening = dialog->ColorDialog1->currentColor();
        dialog->ColorDialog1->setCurrentColor(QColor(10, 20, 30));
        return true;
    };
    dialog->LabelTestClick();
    EXPECT_EQ(shownAtOpening, QColor(0x60, 0x40, 0x20));
    EXPECT_EQ(dialog->LabelTest->color(), 0x001E140Au);
    EXPECT_FALSE(dialog->ColorDialog1->testOption(QColorDialog::NoButtons));
}

TEST_F(DialogChoosers, CancelledColourChooserChangesNothing)
{
    dialog->runColorChooser = [&] {
        dialog->ColorDialog1->setCurrentColor(QColor(10, 20, 30));
        return false;
    };
    dialog->LabelTestClick();
    EXPECT_EQ(dialog->LabelTest->color(), clBlack);
}

TEST_F(DialogChoosers, ClickOnThePreviewOpensTheColourChooser)
{
    int runs = 0;
    dialog->runColorChooser = [&] {
        ++runs;
        return false;
    };
    ASSERT_TRUE(showActive(*dialog));
    click(*dialog->LabelTest, dialog->LabelTest->rect().center());
    EXPECT_EQ(runs, 1);
}

TEST_F(DialogChoosers, ChoosersShowAboveTheDialog)
{
    EXPECT_EQ(dialog->FontDialog1->parentWidget(), dialog.get());
    EXPECT_EQ(dialog->ColorDialog1->parentWidget(), dialog.get());
    EXPECT_EQ(dialog->parentWidget(), &mainWindow);
}

} // namespace
