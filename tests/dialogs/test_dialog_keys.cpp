// How the shown settings dialog answers keys and clicks: Escape, Enter, Tab, the close box
// and the picture-alignment list.

#include "dialog_support.h"

#include "dialogs/AlignmentList.h"
#include "dialogs/SettingsExchange.h"
#include "dialogs/TemplateEditor.h"
#include "dialogs/UCfg.h"

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

class ShownDialog : public SettingsDialogTest {
protected:
    std::vector<int> previews;

    void SetUp() override
    {
        mainWindow.resize(800, 600);
        mainWindow.show();
        dialog->onAlignmentPreview = [this](int row) { previews.push_back(row); };
        ExchangeValues v;
        v.settings.titleTemplate = QStringLiteral("%S");
        v.settings.pictureAlignment = 1;
        v.settings.usePickedDate = true;
        v.settings.pickedDate = encodeDateTime(CalendarTime {2027, 1, 1, 0, 0, 0, 0});
        fillDialog(*dialog, v);
        ASSERT_TRUE(showActive(*dialog));
    }

    QPoint centreOfRow(int row) const
    {
        return dialog->ImageAlign->visualItemRect(dialog->ImageAlign->item(row)).center();
    }
};

TEST_F(ShownDialog, FocusIsOnOkAtFirstShowing)
{
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == dialog->OKBtn; }));
}

TEST_F(ShownDialog, EscapeLeavesTheDialogOpen)
{
    dialog->setResult(0);
    pressKey(*dialog->OKBtn, Qt::Key_Escape);
    pressKey(*dialog->Memo1, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), 0);
}

TEST_F(ShownDialog, TheCloseBoxCancels)
{
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), mrCancel);
}

TEST_F(ShownDialog, ButtonsCloseWithTheirResults)
{
    dialog->OKBtn->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), mrOk);

    ASSERT_TRUE(showActive(*dialog));
    dialog->bCancel->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), mrCancel);
}

TEST_F(ShownDialog, EnterInTheTemplateStartsALineAndDoesNotClose)
{
    dialog->Memo1->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == dialog->Memo1; }));
    dialog->Memo1->moveCursor(QTextCursor::End);
    for (const int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        pressKey(*dialog->Memo1, key, Qt::NoModifier, QStringLiteral("\r"));
        EXPECT_TRUE(dialog->isVisible()) << key;
    }
    pressKey(*dialog->Memo1, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    EXPECT_EQ(dialog->Memo1->templateText(), QStringLiteral("%S\r\n\r\na"));
}

TEST_F(ShownDialog, EnterElsewherePressesOk)
{
    dialog->cbShadow->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == dialog->cbShadow; }));
    pressKey(*dialog->cbShadow, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), mrOk);
}

TEST_F(ShownDialog, EnterInTheExamplesDoesNothing)
{
    dialog->Memo2->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == dialog->Memo2; }));
    const QString examples = dialog->Memo2->toPlainText();
    pressKey(*dialog->Memo2, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Memo2->toPlainText(), examples);
    EXPECT_EQ(dialog->Memo2->document()->blockCount(), 10);
}

TEST_F(ShownDialog, TabLeavesTheTemplateInsteadOfTypingATab)
{
    dialog->Memo1->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == dialog->Memo1; }));
    const QWidget* expected[] = {dialog->Memo2, dialog->cbShadow, dialog->ImageAlign,
                                 dialog->bCancel, dialog->OKBtn};
    for (const QWidget* next : expected) {
        QWidget* from = QApplication::focusWidget();
        ASSERT_NE(from, nullptr);
        pressKey(*from, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == next; }))
            << "after " << from->metaObject()->className();
    }
    EXPECT_EQ(dialog->Memo1->templateText(), QStringLiteral("%S"));
}

TEST_F(ShownDialog, ClickingARowPreviewsIt)
{
    click(*dialog->ImageAlign->viewport(), centreOfRow(2));
    EXPECT_EQ(dialog->ImageAlign->selectedRow(), 2);
    EXPECT_EQ(previews, std::vector<int> {2});
}

TEST_F(ShownDialog, ArrowKeysPreviewTheNextRow)
{
    dialog->ImageAlign->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == dialog->ImageAlign; }));
    pressKey(*dialog->ImageAlign, Qt::Key_Down);
    EXPECT_EQ(dialog->ImageAlign->selectedRow(), 2);
    EXPECT_EQ(previews, std::vector<int> {2});
}

TEST_F(ShownDialog, NoClickLeavesTheListWithoutASelection)
{
    // Taller than its rows, so that there is room below the last one.
    dialog->ImageAlign->resize(108, 200);
    QApplication::processEvents();
    const QPoint belowRows(20, centreOfRow(4).y() + 40);
    ASSERT_FALSE(dialog->ImageAlign->indexAt(belowRows).isValid());

    click(*dialog->ImageAlign->viewport(), centreOfRow(1), Qt::ControlModifier);
    EXPECT_EQ(dialog->ImageAlign->selectedRow(), 1) << "Ctrl+click on the selected row";
    click(*dialog->ImageAlign->viewport(), belowRows);
    EXPECT_EQ(dialog->ImageAlign->selectedRow(), 1) << "click below the rows";
    click(*dialog->ImageAlign->viewport(), belowRows, Qt::ControlModifier);
    EXPECT_EQ(dialog->ImageAlign->selectedRow(), 1) << "Ctrl+click below the rows";
    click(*dialog->ImageAlign->viewport(), centreOfRow(3), Qt::ControlModifier);
    EXPECT_EQ(dialog->ImageAlign->selectedRow(), 3) << "Ctrl+click on another row selects it";
    EXPECT_EQ(previews, std::vector<int> {3});
}

TEST_F(ShownDialog, IsCentredOverTheMainWindow)
{
    const QPoint dialogCentre = dialog->frameGeometry().center();
    const QPoint mainCentre = mainWindow.frameGeometry().center();
    EXPECT_LE(std::abs(dialogCentre.x() - mainCentre.x()), 1);
    EXPECT_LE(std::abs(dialogCentre.y() - mainCentre.y()), 1);
}

} // namespace
