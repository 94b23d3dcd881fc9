#pragma once
// The font chooser of the settings dialog. The title's font has a colour and a character
// set of its own and its size is fixed by the fitting, so the stock font dialog, which
// offers neither a colour nor a size limit, cannot serve: this one offers typeface, style,
// underline, strike-out, a colour, the writing system and only the sizes between a minimum
// and a maximum, with a sample of the result.

#include "display/Colors.h"

#include <QDialog>
#include <QFont>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;

// A font as the title carries it: typeface and style in the QFont, colour, character set
// and size in points beside it.
struct FontSpec {
    QFont face;
    TColor color = clWindowText;
    int charset = 1;
    int pointSize = 0;
};

// The character-set byte that stands for a writing system (1, the default set, for those
// without one of their own).
int charsetForWritingSystem(int writingSystem);

class TFontChooser : public QDialog {
    Q_OBJECT
public:
    explicit TFontChooser(QWidget* parent = nullptr);

    // Fills the controls with the font; what the user leaves alone comes back unchanged.
    void setChosenFont(const FontSpec& font);
    FontSpec chosenFont() const;

    // The sizes offered: the usual sizes between the two, and the two limits themselves.
    // Without limits (a maximum of 0, as at creation) the usual sizes and the font's own.
    void setSizeLimits(int minSize, int maxSize);
    int minFontSize() const { return m_minSize; }
    int maxFontSize() const { return m_maxSize; }

    // Asks for a colour outside the named ones; empty when the user cancels. Replaceable so
    // that the custom-colour path can run without a modal loop.
    std::function<std::optional<TColor>(TColor current)> pickCustomColor;

    // The controls, reachable as the dialog's parts.
    QListWidget* familyList = nullptr;
    QListWidget* styleList = nullptr;
    QListWidget* sizeList = nullptr;
    QCheckBox* underlineBox = nullptr;
    QCheckBox* strikeOutBox = nullptr;
    QComboBox* colorBox = nullptr;
    QComboBox* scriptBox = nullptr;
    QLabel* sample = nullptr;

private:
    void fillSizes(int selected);
    void fillScripts(const QString& family, int charset);
    void selectColor(TColor color);
    void colorActivated(int index);
    void familyChanged();
    void updateSample();

    FontSpec m_given;
    int m_minSize = 0;
    int m_maxSize = 0;
    int m_customIndex = -1;
    int m_lastColorIndex = 0;
};
