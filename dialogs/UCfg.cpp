#include "dialogs/UCfg.h"

#include "dialogs/AlignmentList.h"
#include "dialogs/DatePicker.h"
#include "dialogs/TemplateEditor.h"
#include "dialogs/TimePicker.h"
#include "dialogs/WindowManagerHints.h"
#include "display/Label3D.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTextDocument>
#include <cmath>

namespace {

// The dialog's own client area; with the classic sizing frame and title bar around it the
// window measures 428 x 354.
constexpr int kClientWidth = 420;
constexpr int kClientHeight = 327;

constexpr const char* kPlaceholderHelp[] = {
    QT_TRANSLATE_NOOP("TCFGDialog", "%Y - Nachste Jahr"),
    QT_TRANSLATE_NOOP("TCFGDialog", "%T - Tagen"),
    QT_TRANSLATE_NOOP("TCFGDialog", "%H - Stunden"),
    QT_TRANSLATE_NOOP("TCFGDialog", "%M - Minuten"),
    QT_TRANSLATE_NOOP("TCFGDialog", "%S - Sekunden"),
    QT_TRANSLATE_NOOP("TCFGDialog", "%A - Gesamt Sekunden"),
    QT_TRANSLATE_NOOP("TCFGDialog", "%C - Aktuelle Uhrzeit"),
    QT_TRANSLATE_NOOP("TCFGDialog", "%D - Aktuelle Datum"),
    QT_TRANSLATE_NOOP("TCFGDialog", "%U - Berechnete Uhrzeit"),
    QT_TRANSLATE_NOOP("TCFGDialog", "%Z - Berechnete Datum"),
};

constexpr const char* kAlignmentRows[] = {
    QT_TRANSLATE_NOOP("TCFGDialog", "Oberteil"), QT_TRANSLATE_NOOP("TCFGDialog", "Unterteil"),
    QT_TRANSLATE_NOOP("TCFGDialog", "Links"), QT_TRANSLATE_NOOP("TCFGDialog", "Rechts"),
    QT_TRANSLATE_NOOP("TCFGDialog", "Voll")};

// The classic dialog face is missing on Linux; the first installed of these stands in for it.
QFont dialogFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    return font;
}

// Each example line must show whole in the list. The design's face fits; a wider stand-in gives
// way to a narrow cut at the same height (the fallback family's first), so the list keeps its
// designed size.
QFont exampleListFont(const QFont& base, const QStringList& lines, const QPlainTextEdit& list)
{
    const int room =
        list.contentsRect().width() - 2 * int(std::ceil(list.document()->documentMargin()));
    auto widest = [&lines](const QFont& font) {
        const QFontMetrics metrics(font);
        int width = 0;
        for (const QString& line : lines)
            width = std::max(width, metrics.horizontalAdvance(line));
        return width;
    };
    QFont best = base;
    int bestWidth = widest(base);
    for (const char* face :
         {"Liberation Sans Narrow", "Nimbus Sans Narrow", "DejaVu Sans Condensed"}) {
        if (bestWidth <= room)
            break;
        QFont narrow = base;
        narrow.setFamilies({QString::fromLatin1(face)});
        if (const int width = widest(narrow); width < bestWidth) {
            best = narrow;
            bestWidth = width;
        }
    }
    return best;
}

QFont arialAt(int pixels)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    return font;
}

int pixelsForPoints(int points, int dpi)
{
    return std::max(1, int(std::lround(points * double(dpi) / 72.0)));
}

QLabel* autoSizedLabel(const QString& text, QWidget* parent, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace

FontSpec labelFont(const TLabel3D& label)
{
    return FontSpec {label.font(), label.fontColor(), label.fontCharset(), label.fontPointSize()};
}

void setLabelFont(TLabel3D& label, const FontSpec& font)
{
    label.setFont(font.face);
    label.setFontColor(font.color);
    label.setFontCharset(font.charset);
    label.setFontPointSize(font.pointSize);
}

TCFGDialog::TCFGDialog(QWidget* mainWindow, const Clock& clock)
    : QDialog(mainWindow)
    , m_clock(clock)
{
    setWindowTitle(tr("Einstellungen"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(dialogFont());
    resize(kClientWidth, kClientHeight);

    createControls();
    setTabOrderChain();
    new IconifyGuard(*this);

    runColorChooser = [this] { return ColorDialog1->exec() == QDialog::Accepted; };
    runFontChooser = [this] { return FontDialog1->exec() == QDialog::Accepted; };

    FormCreate(clock);
}

void TCFGDialog::createControls()
{
    gbData = new QGroupBox(this);
    gbData->setGeometry(8, 5, 273, 55);
    cbNewYear = new QRadioButton(gbData);
    cbNewYear->setGeometry(8, 9, 161, 17);
    cbNewYear->setChecked(true);
    cbDatum = new QRadioButton(tr("Datum: "), gbData);
    cbDatum->setGeometry(9, 31, 56, 17);
    DatePicker = new TDatePicker(gbData);
    DatePicker->setGeometry(65, 28, 88, 21);
    DatePicker->setEnabled(false);
    Label2 = autoSizedLabel(tr("Zeit:"), gbData, 167, 32);
    TimePicker = new TTimePicker(gbData);
    TimePicker->setGeometry(190, 28, 76, 21);
    TimePicker->setEnabled(false);

    lbl_Name01 = autoSizedLabel(tr("Titel:"), this, 7, 64);
    Memo1 = new TTemplateEditor(this);
    Memo1->setGeometry(7, 80, 274, 89);

    Label1 = autoSizedLabel(tr("Beispiele:"), this, 288, 10);
    Memo2 = new QPlainTextEdit(this);
    Memo2->setGeometry(288, 25, 124, 145);
    Memo2->setReadOnly(true);
    Memo2->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo2->setFocusPolicy(Qt::StrongFocus);
    Memo2->setTabChangesFocus(true);
    Memo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QStringList help;
    for (const char* line : kPlaceholderHelp)
        help << tr(line);
    Memo2->setPlainText(help.join(u'\n'));
    Memo2->setFont(exampleListFont(font(), help, *Memo2));
    Memo2->installEventFilter(this);

    gbColors = new QGroupBox(tr(" Text "), this);
    gbColors->setGeometry(192, 177, 89, 96);
    LabelTest = new TLabel3D(gbColors);
    LabelTest->setGeometry(8, 18, 73, 26);
    LabelTest->setCaption(tr("Sonst"));
    LabelTest->setCursor(Qt::PointingHandCursor);
    LabelTest->setTextAlignment(taCenter);
    LabelTest->setTextLayout(tlCenter);
    LabelTest->setTransparent(false);
    LabelTest->setColor(clBlack);
    LabelTest->setFont(QFont(QStringLiteral("Arial")));
    LabelTest->setFontPointSize(int(std::lround(21 * 72.0 / LabelTest->logicalDpiY())));
    LabelTest->setFontColor(clWhite);
    LabelTest->setFillGradient(false);
    LabelTest->setBorderStyle(lbNone);
    LabelTest->setBevel(blShadow);
    LabelTest->setShadowColor(clBlack);
    LabelTest->setShadowSize(2);
    bFont = new QPushButton(tr("Schrift"), gbColors);
    bFont->setGeometry(8, 46, 73, 28);
    bFont->setFocusPolicy(Qt::NoFocus);
    bFont->setAutoDefault(false);
    bFont->setFont(arialAt(21));
    cbShadow = new QCheckBox(tr("Schatten"), gbColors);
    cbShadow->setGeometry(11, 75, 70, 17);

    gbImage = new QGroupBox(tr(" Grafik align "), this);
    gbImage->setGeometry(288, 177, 124, 96);
    ImageAlign = new TAlignmentList(gbImage);
    ImageAlign->setGeometry(7, 17, 108, 70);
    for (const char* row : kAlignmentRows) {
        auto* item = new QListWidgetItem(tr(row), ImageAlign);
        item->setSizeHint(QSize(ImageAlign->viewport()->width(), 13));
    }

    OKBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"),
                            this);
    OKBtn->setGeometry(191, 282, 90, 30);
    OKBtn->setDefault(true);
    bCancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), tr("Abbrechen"),
                              this);
    bCancel->setGeometry(288, 282, 124, 30);

    ColorDialog1 = new QColorDialog(this);
    ColorDialog1->setOption(QColorDialog::DontUseNativeDialog);
    ColorDialog1->setWindowTitle(tr("Farbe"));
    FontDialog1 = new TFontChooser(this);

    connect(cbNewYear, &QRadioButton::toggled, this, &TCFGDialog::cbDatumClick);
    connect(cbDatum, &QRadioButton::toggled, this, &TCFGDialog::cbDatumClick);
    connect(LabelTest, &TLabel3D::clicked, this, &TCFGDialog::LabelTestClick);
    connect(bFont, &QPushButton::clicked, this, &TCFGDialog::bFontClick);
    connect(cbShadow, &QCheckBox::toggled, this, &TCFGDialog::cbShadowClick);
    connect(ImageAlign, &TAlignmentList::rowChosen, this, &TCFGDialog::ImageAlignClick);
    connect(OKBtn, &QPushButton::clicked, this, &TCFGDialog::OKBtnClick);
    connect(bCancel, &QPushButton::clicked, this, &TCFGDialog::bCancelClick);
}

void TCFGDialog::setTabOrderChain()
{
    QWidget* const chain[] = {OKBtn, cbNewYear, cbDatum,  DatePicker, TimePicker,
                              Memo1, Memo2,     cbShadow, ImageAlign, bCancel};
    for (size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void TCFGDialog::FormCreate(const Clock& clock)
{
    cbNewYear->setText(tr("Nächste Neue Jahr ") + QString::number(clock.now().year + 1));
}

void TCFGDialog::FormShow()
{
    FontSpec font = labelFont(*LabelTest);
    font.color = clWindowText;
    applyButtonFont(font);
    cbShadowClick();
}

void TCFGDialog::cbDatumClick()
{
    DatePicker->setEnabled(cbDatum->isChecked());
    TimePicker->setEnabled(DatePicker->isEnabledTo(gbData));
}

void TCFGDialog::LabelTestClick()
{
    ColorDialog1->setCurrentColor(toQColor(LabelTest->color(), LabelTest->palette()));
    if (!runColorChooser || !runColorChooser())
        return;
    LabelTest->setColor(fromQColor(ColorDialog1->currentColor()));
}

void TCFGDialog::bFontClick()
{
    const int previewSize = LabelTest->fontPointSize();
    FontSpec font = labelFont(*LabelTest);
    // The size follows the window, so the chooser offers only the title's current size.
    const int titleSize = titleFontSize ? titleFontSize() : previewSize;
    FontDialog1->setSizeLimits(titleSize, titleSize);
    font.pointSize = titleSize;
    FontDialog1->setChosenFont(font);
    if (!runFontChooser || !runFontChooser())
        return;
    FontSpec chosen = FontDialog1->chosenFont();
    chosen.pointSize = previewSize;
    setLabelFont(*LabelTest, chosen);
    chosen.color = clWindowText;
    applyButtonFont(chosen);
}

void TCFGDialog::cbShadowClick() { LabelTest->setShadowSize(cbShadow->isChecked() ? 2 : 0); }

void TCFGDialog::ImageAlignClick()
{
    if (onAlignmentPreview)
        onAlignmentPreview(ImageAlign->selectedRow());
}

void TCFGDialog::OKBtnClick() { done(mrOk); }

void TCFGDialog::bCancelClick() { done(mrCancel); }

void TCFGDialog::reject() { bCancelClick(); }

void TCFGDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape neither presses "Abbrechen" nor closes the dialog.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TCFGDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The list of examples takes Enter for itself like any multi-line text, although it
    // cannot start a line: Enter there does not press OK.
    if (watched == Memo2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TCFGDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        // Each showing maps a window of its own.
        withholdMinimise(*this);
        centreOverParent();
        FormShow();
        if (!m_shownBefore) {
            OKBtn->setFocus(Qt::OtherFocusReason);
            m_shownBefore = true;
        }
    }
    QDialog::showEvent(event);
}

void TCFGDialog::centreOverParent()
{
    const QWidget* owner = parentWidget();
    if (!owner)
        return;
    const QRect area = owner->window()->frameGeometry();
    const QSize outer = frameGeometry().size();
    move(area.center().x() - outer.width() / 2, area.center().y() - outer.height() / 2);
}

void TCFGDialog::applyButtonFont(const FontSpec& font)
{
    QFont face = font.face;
    if (font.pointSize > 0)
        face.setPixelSize(pixelsForPoints(font.pointSize, bFont->logicalDpiY()));
    bFont->setFont(face);
    QPalette colors = bFont->palette();
    colors.setColor(QPalette::ButtonText, toQColor(font.color, colors));
    bFont->setPalette(colors);
    m_bFontColor = font.color;
}
