// Qt's own dialogs speak German like the program: the standard buttons and the colour chooser.

#include "app/QtTranslations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

// The texts of the widget's labels and buttons, without their mnemonic marks.
QStringList textsOf(const QWidget& widget)
{
    QStringList texts;
    for (const QLabel* label : widget.findChildren<QLabel*>())
        texts << label->text().remove(u'&');
    for (const QAbstractButton* button : widget.findChildren<QAbstractButton*>())
        texts << button->text().remove(u'&');
    return texts;
}

TEST(QtTranslations, QtDialogsSpeakGerman)
{
    ASSERT_TRUE(installQtGerman(*qApp));
    QColorDialog colours;
    colours.setOptions(QColorDialog::DontUseNativeDialog);
    const QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    const QStringList texts = textsOf(colours) + textsOf(buttons);
    struct Row {
        const char* english;
        const char* german;
    };
    const Row table[] = {
        {"Cancel", "Abbrechen"},
        {"Hue:", "Farbton:"},
        {"Red:", "Rot:"},
        {"Green:", "Grün:"},
        {"Basic colors", "Grundfarben"},
        {"Add to Custom Colors", "Zu benutzerdefinierten Farben hinzufügen"},
    };
    for (const Row& row : table) {
        EXPECT_FALSE(texts.contains(QString::fromUtf8(row.english))) << row.english;
        EXPECT_TRUE(texts.contains(QString::fromUtf8(row.german))) << qPrintable(texts.join(u'|'));
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
