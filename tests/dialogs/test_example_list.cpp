// The settings dialog's example list: every one of its lines shows whole in the designed list.

#include "dialog_support.h"

#include "dialogs/UCfg.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <gtest/gtest.h>

namespace {

TEST(ExampleList, EveryLineShowsWhole)
{
    FixedClock clock {CalendarTime {2026, 12, 7, 10, 30, 0, 0}};
    QWidget mainWindow;
    TCFGDialog dialog(&mainWindow, clock);
    ASSERT_TRUE(showActive(dialog));
    const QPlainTextEdit& list = *dialog.Memo2;
    const QSize room = list.viewport()->size();
    int lines = 0;
    for (QTextBlock block = list.document()->begin(); block.isValid(); block = block.next()) {
        QTextCursor end(block);
        end.movePosition(QTextCursor::EndOfBlock);
        const QRect caret = list.cursorRect(end);
        EXPECT_LT(caret.left(), room.width()) << qPrintable(block.text());
        EXPECT_LE(caret.bottom(), room.height()) << qPrintable(block.text());
        ++lines;
    }
    EXPECT_EQ(lines, 10);
}

} // namespace
