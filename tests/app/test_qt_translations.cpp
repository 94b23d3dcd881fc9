// Qt's own dialogs speak German like the program: the standard buttons and the colour chooser.

#include "app/QtTranslations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QLabel>
#include <gtest/gtest.h>

TEST(QtTranslations, TheColourChooserSpeaksGerman)
{
    ASSERT_TRUE(installQtGerman(*qApp));
    QColorDialog chooser;
    chooser.setOptions(QColorDialog::DontUseNativeDialog);
    QStringList texts;
    for (const QLabel* label : chooser.findChildren<QLabel*>())
        texts << label->text().remove(u'&');
    for (const QAbstractButton* button : chooser.findChildren<QAbstractButton*>())
        texts << button->text().remove(u'&');
    const char* table[][2] = {{"Cancel", "Abbrechen"},
                              {"Hue:", "Farbton:"},
                              {"Red:", "Rot:"},
                              {"Basic colors", "Grundfarben"}};
    for (const auto& [english, german] : table) {
        EXPECT_FALSE(texts.contains(QString::fromUtf8(english))) << english;
        EXPECT_TRUE(texts.contains(QString::fromUtf8(german))) << qPrintable(texts.join(u'|'));
    }
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
