#include "dialogs/FontChooser.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct NamedColor {
    const char* name;
    TColor value;
};

// The sixteen classic colours, in the order font dialogs have always listed them.
constexpr NamedColor kNamedColors[] = {
    {QT_TRANSLATE_NOOP("TFontChooser", "Schwarz"), 0x000000},
    {QT_TRANSLATE_NOOP("TFontChooser", "Kastanienbraun"), 0x000080},
    {QT_TRANSLATE_NOOP("TFontChooser", "Grün"), 0x008000},
    {QT_TRANSLATE_NOOP("TFontChooser", "Oliv"), 0x008080},
    {QT_TRANSLATE_NOOP("TFontChooser", "Marineblau"), 0x800000},
    {QT_TRANSLATE_NOOP("TFontChooser", "Lila"), 0x800080},
    {QT_TRANSLATE_NOOP("TFontChooser", "Blaugrün"), 0x808000},
    {QT_TRANSLATE_NOOP("TFontChooser", "Grau"), 0x808080},
    {QT_TRANSLATE_NOOP("TFontChooser", "Silber"), 0xC0C0C0},
    {QT_TRANSLATE_NOOP("TFontChooser", "Rot"), 0x0000FF},
    {QT_TRANSLATE_NOOP("TFontChooser", "Hellgrün"), 0x00FF00},
    {QT_TRANSLATE_NOOP("TFontChooser", "Gelb"), 0x00FFFF},
    {QT_TRANSLATE_NOOP("TFontChooser", "Blau"), 0xFF0000},
    {QT_TRANSLATE_NOOP("TFontChooser", "Fuchsie"), 0xFF00FF},
    {QT_TRANSLATE_NOOP("TFontChooser", "Aquamarin"), 0xFFFF00},
    {QT_TRANSLATE_NOOP("TFontChooser", "Weiß"), 0xFFFFFF},
};

constexpr int kUsualSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

// Style rows: bit 0 italic, bit 1 bold.
constexpr const char* kStyles[] = {
    QT_TRANSLATE_NOOP("TFontChooser", "Standard"), QT_TRANSLATE_NOOP("TFontChooser", "Kursiv"),
    QT_TRANSLATE_NOOP("TFontChooser", "Fett"), QT_TRANSLATE_NOOP("TFontChooser", "Fett Kursiv")};

int styleRow(const QFont& font) { return (font.italic() ? 1 : 0) | (font.bold() ? 2 : 0); }

QString charsetName(int charset)
{
    switch (charset) {
    case 0:
        return TFontChooser::tr("Westlich");
    case 1:
        return TFontChooser::tr("Standard", "character set");
    case 2:
        return QStringLiteral("Symbol");
    case 128:
        return TFontChooser::tr("Japanisch");
    case 129:
        return TFontChooser::tr("Koreanisch");
    case 134:
        return TFontChooser::tr("Chinesisch (vereinfacht)");
    case 136:
        return TFontChooser::tr("Chinesisch (traditionell)");
    case 161:
        return TFontChooser::tr("Griechisch");
    case 162:
        return TFontChooser::tr("Türkisch");
    case 163:
        return TFontChooser::tr("Vietnamesisch");
    case 177:
        return TFontChooser::tr("Hebräisch");
    case 178:
        return TFontChooser::tr("Arabisch");
    case 186:
        return TFontChooser::tr("Baltisch");
    case 204:
        return TFontChooser::tr("Kyrillisch");
    case 222:
        return QStringLiteral("Thai");
    case 238:
        return TFontChooser::tr("Mitteleuropäisch");
    case 255:
        return QStringLiteral("OEM/DOS");
    default:
        return TFontChooser::tr("Zeichensatz %1").arg(charset);
    }
}

QIcon swatch(const QColor& color)
{
    QPixmap pixmap(14, 10);
    pixmap.fill(color);
    return QIcon(pixmap);
}

int pixelsForPoints(int points, int dpi)
{
    return std::max(1, int(std::lround(points * double(dpi) / 72.0)));
}

} // namespace

int charsetForWritingSystem(int writingSystem)
{
    switch (QFontDatabase::WritingSystem(writingSystem)) {
    case QFontDatabase::Latin:
        return 0;
    case QFontDatabase::Symbol:
        return 2;
    case QFontDatabase::Japanese:
        return 128;
    case QFontDatabase::Korean:
        return 129;
    case QFontDatabase::SimplifiedChinese:
        return 134;
    case QFontDatabase::TraditionalChinese:
        return 136;
    case QFontDatabase::Greek:
        return 161;
    case QFontDatabase::Vietnamese:
        return 163;
    case QFontDatabase::Hebrew:
        return 177;
    case QFontDatabase::Arabic:
        return 178;
    case QFontDatabase::Cyrillic:
        return 204;
    case QFontDatabase::Thai:
        return 222;
    default:
        return 1;
    }
}

TFontChooser::TFontChooser(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Schriftart"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    familyList = new QListWidget(this);
    styleList = new QListWidget(this);
    sizeList = new QListWidget(this);
    for (const char* style : kStyles)
        styleList->addItem(tr(style));

    auto* effects = new QGroupBox(tr("Effekte"), this);
    underlineBox = new QCheckBox(tr("Unterstrichen"), effects);
    strikeOutBox = new QCheckBox(tr("Durchgestrichen"), effects);
    colorBox = new QComboBox(effects);
    for (const NamedColor& named : kNamedColors) {
        colorBox->addItem(swatch(toQColor(named.value, palette())), tr(named.name),
                          QVariant::fromValue<uint>(named.value));
    }
    m_customIndex = colorBox->count();
    colorBox->addItem(tr("Benutzerdefiniert"), QVariant::fromValue<uint>(clWhite));
    auto* effectsLayout = new QVBoxLayout(effects);
    effectsLayout->addWidget(underlineBox);
    effectsLayout->addWidget(strikeOutBox);
    effectsLayout->addWidget(new QLabel(tr("Farbe:"), effects));
    effectsLayout->addWidget(colorBox);

    auto* sampleBox = new QGroupBox(tr("Beispiel"), this);
    sample = new QLabel(QStringLiteral("AaBbYyZz"), sampleBox);
    sample->setAlignment(Qt::AlignCenter);
    sample->setMinimumSize(160, 60);
    scriptBox = new QComboBox(sampleBox);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    sampleLayout->addWidget(sample, 1);
    sampleLayout->addWidget(new QLabel(tr("Skript:"), sampleBox));
    sampleLayout->addWidget(scriptBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Schriftart:"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Schriftschnitt:"), this), 0, 1);
    grid->addWidget(new QLabel(tr("Schriftgrad:"), this), 0, 2);
    grid->addWidget(familyList, 1, 0);
    grid->addWidget(styleList, 1, 1);
    grid->addWidget(sizeList, 1, 2);
    grid->addWidget(effects, 2, 0);
    grid->addWidget(sampleBox, 2, 1, 1, 2);
    grid->addWidget(buttons, 3, 0, 1, 3);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(2, 1);

    pickCustomColor = [this](TColor current) -> std::optional<TColor> {
        const QColor chosen = QColorDialog::getColor(
            toQColor(current, palette()), this, tr("Farbe"), QColorDialog::DontUseNativeDialog);
        if (!chosen.isValid())
            return std::nullopt;
        return fromQColor(chosen);
    };

    connect(familyList, &QListWidget::currentRowChanged, this, &TFontChooser::familyChanged);
    connect(styleList, &QListWidget::currentRowChanged, this, &TFontChooser::updateSample);
    connect(sizeList, &QListWidget::currentRowChanged, this, &TFontChooser::updateSample);
    connect(underlineBox, &QCheckBox::toggled, this, &TFontChooser::updateSample);
    connect(strikeOutBox, &QCheckBox::toggled, this, &TFontChooser::updateSample);
    connect(colorBox, &QComboBox::activated, this, &TFontChooser::colorActivated);
    connect(colorBox, &QComboBox::currentIndexChanged, this, &TFontChooser::updateSample);
}

void TFontChooser::setChosenFont(const FontSpec& font)
{
    m_given = font;

    const QSignalBlocker blockFamilies(familyList);
    familyList->clear();
    const QString family = font.face.family();
    QStringList families = QFontDatabase::families();
    // A typeface that the machine lacks (or knows under another name) stays chosen as given.
    if (!family.isEmpty() && !families.contains(family, Qt::CaseInsensitive))
        families.prepend(family);
    familyList->addItems(families);
    for (int row = 0; row < familyList->count(); ++row) {
        if (familyList->item(row)->text().compare(family, Qt::CaseInsensitive) == 0) {
            familyList->setCurrentRow(row);
            break;
        }
    }

    {
        const QSignalBlocker block(styleList);
        styleList->setCurrentRow(styleRow(font.face));
    }
    {
        const QSignalBlocker blockU(underlineBox);
        const QSignalBlocker blockS(strikeOutBox);
        underlineBox->setChecked(font.face.underline());
        strikeOutBox->setChecked(font.face.strikeOut());
    }
    selectColor(font.color);
    fillScripts(family, font.charset);
    fillSizes(font.pointSize);
    updateSample();
}

FontSpec TFontChooser::chosenFont() const
{
    FontSpec out = m_given;
    // Only what the user changed is taken over, so an untouched font comes back as it was,
    // weight and typeface name included.
    if (const QListWidgetItem* item = familyList->currentItem()) {
        if (item->text().compare(m_given.face.family(), Qt::CaseInsensitive) != 0)
            out.face.setFamily(item->text());
    }
    const int style = styleList->currentRow();
    if (style >= 0 && style != styleRow(m_given.face)) {
        out.face.setItalic(style & 1);
        out.face.setBold(style & 2);
    }
    if (underlineBox->isChecked() != m_given.face.underline())
        out.face.setUnderline(underlineBox->isChecked());
    if (strikeOutBox->isChecked() != m_given.face.strikeOut())
        out.face.setStrikeOut(strikeOutBox->isChecked());
    if (colorBox->currentIndex() >= 0)
        out.color = TColor(colorBox->currentData().toUInt());
    if (scriptBox->currentIndex() >= 0)
        out.charset = scriptBox->currentData().toInt();
    if (const QListWidgetItem* item = sizeList->currentItem())
        out.pointSize = item->text().toInt();
    return out;
}

void TFontChooser::setSizeLimits(int minSize, int maxSize)
{
    m_minSize = minSize;
    m_maxSize = std::max(minSize, maxSize);
    fillSizes(m_given.pointSize);
}

void TFontChooser::fillSizes(int selected)
{
    std::vector<int> sizes;
    if (m_maxSize <= 0) {
        // No limits set: the usual sizes and the font's own.
        sizes.assign(std::begin(kUsualSizes), std::end(kUsualSizes));
        if (selected > 0)
            sizes.push_back(selected);
    } else {
        sizes = {m_minSize, m_maxSize};
        for (int size : kUsualSizes) {
            if (size > m_minSize && size < m_maxSize)
                sizes.push_back(size);
        }
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());

    const QSignalBlocker block(sizeList);
    sizeList->clear();
    int row = 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        sizeList->addItem(QString::number(sizes[i]));
        if (sizes[i] <= selected)
            row = int(i);
    }
    sizeList->setCurrentRow(row);
}

void TFontChooser::fillScripts(const QString& family, int charset)
{
    const QSignalBlocker block(scriptBox);
    scriptBox->clear();
    std::vector<int> charsets;
    for (QFontDatabase::WritingSystem system : QFontDatabase::writingSystems(family)) {
        const int mapped = charsetForWritingSystem(system);
        if (mapped != 1 && std::find(charsets.begin(), charsets.end(), mapped) == charsets.end())
            charsets.push_back(mapped);
    }
    // The character set the font came with is always offered, so that it survives untouched.
    if (std::find(charsets.begin(), charsets.end(), charset) == charsets.end())
        charsets.insert(charsets.begin(), charset);
    for (int entry : charsets)
        scriptBox->addItem(charsetName(entry), entry);
    scriptBox->setCurrentIndex(scriptBox->findData(charset));
}

void TFontChooser::selectColor(TColor color)
{
    const QSignalBlocker block(colorBox);
    for (int i = 0; i < m_customIndex; ++i) {
        if (TColor(colorBox->itemData(i).toUInt()) == color) {
            colorBox->setCurrentIndex(i);
            m_lastColorIndex = i;
            return;
        }
    }
    colorBox->setItemData(m_customIndex, QVariant::fromValue<uint>(color));
    colorBox->setItemIcon(m_customIndex, swatch(toQColor(color, palette())));
    colorBox->setCurrentIndex(m_customIndex);
    m_lastColorIndex = m_customIndex;
}

void TFontChooser::colorActivated(int index)
{
    if (index != m_customIndex || !pickCustomColor) {
        m_lastColorIndex = index;
        return;
    }
    const TColor current = TColor(colorBox->itemData(m_customIndex).toUInt());
    if (const std::optional<TColor> picked = pickCustomColor(current)) {
        colorBox->setItemData(m_customIndex, QVariant::fromValue<uint>(*picked));
        colorBox->setItemIcon(m_customIndex, swatch(toQColor(*picked, palette())));
        m_lastColorIndex = m_customIndex;
    } else {
        // Cancelling the custom colour goes back to the colour chosen before.
        colorBox->setCurrentIndex(m_lastColorIndex);
    }
    updateSample();
}

void TFontChooser::familyChanged()
{
    const QListWidgetItem* item = familyList->currentItem();
    const int charset =
        scriptBox->currentIndex() >= 0 ? scriptBox->currentData().toInt() : m_given.charset;
    if (item)
        fillScripts(item->text(), charset);
    updateSample();
}

void TFontChooser::updateSample()
{
    const FontSpec font = chosenFont();
    QFont face = font.face;
    // A title size does not fit the sample area; larger sizes are shown at its height.
    constexpr int kLargestSamplePixels = 40;
    if (font.pointSize > 0)
        face.setPixelSize(
            std::min(kLargestSamplePixels, pixelsForPoints(font.pointSize, logicalDpiY())));
    sample->setFont(face);
    QPalette colors = sample->palette();
    colors.setColor(QPalette::WindowText, toQColor(font.color, palette()));
    sample->setPalette(colors);
}
