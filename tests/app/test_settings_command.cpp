#include "app/Main.h"
#include "dialogs/AlignmentList.h"
#include "dialogs/TemplateEditor.h"
#include "dialogs/UCfg.h"
#include "display/Label3D.h"
#include "display/PictureBox.h"
#include "settings/Settings.h"
#include "tests/countdown/clock_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

// Drives the settings command the way a person would: the dialog opens modally, the given
// steps run inside its loop, then OK or "Abbrechen" closes it.
class SettingsCommandTest : public testing::Test {
protected:
    QTemporaryDir dir;
    FixedClock clock {CalendarTime {2026, 12, 7, 12, 34, 56, 789}};
    std::unique_ptr<TFormMain> w;

    void SetUp() override
    {
        w = std::make_unique<TFormMain>(clock, dir.filePath("yearmark"),
                                        dir.filePath("yearmark.reg"));
        w->resize(1280, 1024);
        w->show();
        w->setSettingsDialog(new TCFGDialog(w.get(), clock));
    }

    void runCommand(const std::function<void(TCFGDialog&)>& steps, bool ok)
    {
        TCFGDialog& dialog = *w->settingsDialog();
        QTimer::singleShot(0, [&] {
            steps(dialog);
            if (ok)
                dialog.OKBtnClick();
            else
                dialog.bCancelClick();
        });
        w->EinstellunGen1Click();
    }
};

} // namespace

TEST_F(SettingsCommandTest, OkWithTheNewYearChoiceTargetsMidnightExactly)
{
    runCommand([](TCFGDialog& d) { d.cbNewYear->setChecked(true); }, true);
    EXPECT_EQ(w->targetMoment(), encodeDateTime({2027, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(w->targetMoment(), std::trunc(w->targetMoment()));
}

TEST_F(SettingsCommandTest, AcceptedAfterTheZeroMomentChangesTheTargetButNothingCounts)
{
    clock.set({2027, 1, 1, 0, 0, 0, 2});
    w->Timer1Timer();
    ASSERT_FALSE(w->counting());
    runCommand(
        [](TCFGDialog& d) {
            d.cbDatum->setChecked(true);
            d.cbDatumClick();
        },
        true);
    EXPECT_FALSE(w->counting());
    EXPECT_FALSE(w->Titel->isVisible());
    EXPECT_TRUE(w->settings().usePickedDate);
    EXPECT_EQ(w->targetMoment(), w->settings().pickedDate);
}

// "Links" previewed, then "Abbrechen", or the end of the program (as a signal ends it) while
// the dialog is still open: the picture goes back to where it was and the stored alignment,
// also one outside 0..4, is the one saved.
TEST_F(SettingsCommandTest, AlignmentPreviewIsUndoneByCancelAndNeverSaved)
{
    const QString store = dir.filePath("yearmark.reg");
    for (const int stored : {0, 9}) {
        w.reset();
        Settings before;
        before.pictureAlignment = stored;
        saveSettings(store, settingsKeyPath("yearmark"), before);
        SetUp();
        QRect duringPreview;
        Settings saved;
        runCommand(
            [&](TCFGDialog& d) {
                d.ImageAlign->setCurrentRow(2); // "Links", as a click would choose it
                duringPreview = w->Image1->geometry();
                w->FormDestroy(false);
                loadSettings(store, settingsKeyPath("yearmark"), saved);
            },
            false);
        EXPECT_EQ(duringPreview, QRect(0, 0, 640, 1024)) << stored;
        EXPECT_EQ(w->Image1->geometry(), QRect(0, 0, 1280, 512)) << stored;
        EXPECT_EQ(w->settings().pictureAlignment, stored);
        EXPECT_EQ(saved.pictureAlignment, stored);
    }
}

TEST_F(SettingsCommandTest, OkTakesTheTemplateShadowAndAlignment)
{
    runCommand(
        [](TCFGDialog& d) {
            d.Memo1->setTemplateText(QStringLiteral("Noch %S\r\nSekunden"));
            d.cbShadow->setChecked(true);
            d.ImageAlign->setCurrentRow(3);
        },
        true);
    EXPECT_EQ(w->settings().titleTemplate, QStringLiteral("Noch %S\r\nSekunden"));
    EXPECT_TRUE(w->settings().shadow);
    EXPECT_EQ(w->settings().pictureAlignment, 3);
    EXPECT_EQ(w->Image1->geometry(), QRect(640, 0, 640, 1024));
    EXPECT_GT(w->Titel->fontPointSize(), 20);
    EXPECT_EQ(w->Titel->shadowSize(), w->Titel->fontPointSize() / 20);
    w->Timer1Timer();
    EXPECT_TRUE(w->Titel->caption().startsWith(QStringLiteral("Noch ")));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
