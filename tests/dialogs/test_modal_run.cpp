// Showing the settings dialog modally: the program's timers go on behind it, OK and cancel
// come back read, and a dialog torn down while open is not read.

#include "dialog_support.h"

#include "dialogs/SettingsExchange.h"
#include "dialogs/UCfg.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

class ModalRun : public SettingsDialogTest {
protected:
    ExchangeValues values;
    int ticks = 0;
    QTimer countdown;

    void SetUp() override
    {
        values.settings.titleTemplate = QStringLiteral("%S");
        values.target = encodeDateTime(CalendarTime {2027, 1, 1, 0, 0, 0, 0});
        values.settings.pickedDate = values.target;
        countdown.setInterval(5);
        QObject::connect(&countdown, &QTimer::timeout, [this] { ++ticks; });
        countdown.start();
    }

    // Runs the action on the first tick at which the count has gone on while the dialog is up.
    void whenCounted(std::function<void()> action)
    {
        auto* watcher = new QTimer(&mainWindow);
        watcher->setInterval(5);
        const int startTicks = ticks;
        QObject::connect(watcher, &QTimer::timeout, [=, this] {
            if (dialog && dialog->isVisible() && ticks >= startTicks + 3) {
                watcher->stop();
                action();
            }
        });
        watcher->start();
    }
};

TEST_F(ModalRun, TheCountGoesOnWhileTheDialogIsOpenAndOkIsReadBack)
{
    whenCounted([this] {
        dialog->cbShadow->setChecked(true);
        dialog->OKBtn->click();
    });
    const int before = ticks;
    const int result = runSettingsDialog(*dialog, values, clock);
    EXPECT_EQ(result, mrOk);
    EXPECT_GE(ticks, before + 3);
    EXPECT_TRUE(values.settings.shadow);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(ModalRun, CloseBoxComesBackAsCancel)
{
    whenCounted([this] {
        dialog->cbShadow->setChecked(true);
        dialog->close();
    });
    EXPECT_EQ(runSettingsDialog(*dialog, values, clock), mrCancel);
    EXPECT_FALSE(values.settings.shadow);
}

TEST_F(ModalRun, ADialogTornDownWhileOpenIsNotRead)
{
    whenCounted([this] { dialog.reset(); });
    TCFGDialog& open = *dialog;
    values.settings.shadow = true;
    EXPECT_EQ(runSettingsDialog(open, values, clock), 0);
    EXPECT_TRUE(values.settings.shadow);
    EXPECT_EQ(values.settings.titleTemplate, QStringLiteral("%S"));
}

} // namespace
