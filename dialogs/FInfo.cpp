#include "dialogs/FInfo.h"

#include "data/Artwork.h"
#include "dialogs/WindowManagerHints.h"
#include "display/Bevel.h"
#include "display/Colors.h"

#include <QBitmap>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QWindow>

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);

QFont dialogFont(int pixels, const QString& family = QStringLiteral("MS Sans Serif"))
{
    // Where the design's faces are missing, the metric-compatible ones keep texts in their
    // boxes.
    QFont font;
    font.setFamilies({family, QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPixelSize(pixels);
    return font;
}

QLabel* makeLabel(QWidget* parent, const QString& text, const QFont& font)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

// The faces standing in for the design's may run wider; a fixed-size label's lines must
// still show whole, so its font shrinks until every line fits its width.
void fitLinesToWidth(QLabel* label)
{
    QFont font = label->font();
    auto widest = [&] {
        int w = 0;
        for (const QString& line : label->text().split(QLatin1Char('\n')))
            w = std::max(w, QFontMetrics(font).horizontalAdvance(line));
        return w;
    };
    while (widest() > label->width() && font.pixelSize() > 8)
        font.setPixelSize(font.pixelSize() - 1);
    label->setFont(font);
}

// A label that is sized to its text keeps its right edge where the design put it.
void placeRightAligned(QLabel* label, int right, int top, int height)
{
    label->adjustSize();
    label->setGeometry(right - label->width(), top, label->width(), height);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
}

} // namespace

TLogoImage::TLogoImage(QWidget* parent)
    : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void TLogoImage::setPicture(const QImage& picture)
{
    m_picture = QPixmap::fromImage(picture);
    if (!picture.isNull()) {
        const QColor ground = picture.pixelColor(0, picture.height() - 1);
        m_picture.setMask(
            QBitmap::fromImage(picture.createMaskFromColor(ground.rgb(), Qt::MaskInColor)));
    }
    update();
}

void TLogoImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap((width() - m_picture.width()) / 2, (height() - m_picture.height()) / 2,
                       m_picture);
}

void TLogoImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

TPanel::TPanel(Bevel outer, Bevel inner, int bevelWidth, QWidget* parent)
    : QWidget(parent)
    , m_outer(outer)
    , m_inner(inner)
    , m_bevelWidth(bevelWidth)
{ }

void TPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor light = toQColor(clBtnHighlight, QGuiApplication::palette());
    const QColor shadow = toQColor(clBtnShadow, QGuiApplication::palette());
    QRect area = rect();
    for (const Bevel bevel : {m_outer, m_inner}) {
        if (bevel == Bevel::Lowered)
            drawBevelBand(painter, area, shadow, light, m_bevelWidth);
        else if (bevel == Bevel::Raised)
            drawBevelBand(painter, area, light, shadow, m_bevelWidth);
    }
}

TFormInfo::TFormInfo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(tr("Information"));
    setFixedSize(256, 200);
    setFont(dialogFont(11));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kSilver);
    setPalette(pal);
    setAutoFillBackground(true);
    // The main window hides the pointer for everything it owns; here it must show.
    setCursor(Qt::ArrowCursor);

    Image1 = new TLogoImage(this);
    Image1->setGeometry(10, 4, 238, 65);
    Image1->setPicture(makerLogo());
    connect(Image1, &TLogoImage::clicked, this, &TFormInfo::Image1Click);

    QFont titleFont = dialogFont(21, QStringLiteral("Arial"));
    titleFont.setBold(true);
    titleFont.setUnderline(true);
    Label1 = makeLabel(this, QStringLiteral("Yearmark"), titleFont);
    QPalette titlePal = Label1->palette();
    titlePal.setColor(QPalette::WindowText, kMaroon);
    Label1->setPalette(titlePal);
    placeRightAligned(Label1, 244, 69, 24);

    LabelVer = makeLabel(this, tr("Version 1.1 (19.01.2008)"), dialogFont(15));
    placeRightAligned(LabelVer, 243, 96, 16);

    Label3 = makeLabel(this, makerLine(), font());
    Label3->setGeometry(6, 132, 241, 13);
    Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    QFont linkFont = dialogFont(12);
    linkFont.setUnderline(true);
    const QUrl url(contactUrl());
    Label2 = makeLabel(
        this, url.host() + (url.path() == QLatin1String("/") ? QString() : url.path()), linkFont);
    Label2->setGeometry(55, 181, 137, 13);
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette linkPal = Label2->palette();
    linkPal.setColor(QPalette::WindowText, kBlue);
    linkPal.setColor(QPalette::Window, kSilver);
    Label2->setPalette(linkPal);
    Label2->setAutoFillBackground(true);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->installEventFilter(this);

    QFont labFont = dialogFont(12);
    Lab = makeLabel(this, QString(), labFont);
    Lab->setGeometry(8, 154, 238, 30);
    Lab->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Lab->setWordWrap(true);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(6, 147, 242, 3);

    Panel1 = new TPanel(TPanel::Bevel::Lowered, TPanel::Bevel::Lowered, 2, this);
    Panel1->setGeometry(8, 72, 48, 49);
    ImageICON = new QLabel(Panel1);
    ImageICON->setGeometry(8, 8, 32, 32);

    for (QWidget* child : findChildren<QWidget*>())
        child->setFocusPolicy(Qt::NoFocus);
    FormCreate();

    new IconifyGuard(*this);
}

QString TFormInfo::contactUrl() { return QStringLiteral(YEARMARK_CONTACT_URL); }

QString TFormInfo::makerLine() { return QStringLiteral(YEARMARK_MAKER_LINE); }

void TFormInfo::FormCreate()
{
    ImageICON->setPixmap(applicationIcon().pixmap(32, 32));
    Lab->setText(tr("Lob und Kritik, Verbesserungsvorschläge,\n"
                    "Fragen und Bestellungen bitte schriftlich über"));
    for (QLabel* label : {Label2, Label3, Lab})
        fitLinesToWidth(label);
}

void TFormInfo::Image1Click()
{
    // The browser starts on its own; when none can, the dialog stays as it was.
    QDesktopServices::openUrl(QUrl(contactUrl()));
}

void TFormInfo::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        reject();
    // Every other key, Enter included, does nothing.
    event->accept();
}

bool TFormInfo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose) {
        // Shown: the window manager has framed the dialog.
        if (windowHandle()->isExposed() && windowHandle()->frameMargins() != m_frame) {
            m_frame = windowHandle()->frameMargins();
            placeOverOwner();
        }
        return false;
    }
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            Label2->rect().contains(mouse->position().toPoint()))
            Image1Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QWidget* TFormInfo::owner() const { return parentWidget() ? parentWidget()->window() : nullptr; }

void TFormInfo::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        // Each showing maps a window of its own.
        withholdMinimise(*this);
        placeOverOwner();
        windowHandle()->installEventFilter(this);
    }
    QDialog::showEvent(event);
}

// Centred over the main window, frame and all. The window manager's frame is known only once
// it has framed the window: until then the last one seen is assumed, and the dialog is placed
// again as soon as its frame turns out different.
void TFormInfo::placeOverOwner()
{
    if (!owner())
        return;
    const QRect area = owner()->frameGeometry();
    const QSize outer = size().grownBy(m_frame);
    const QPoint frameAt(area.x() + (area.width() - outer.width()) / 2,
                         area.y() + (area.height() - outer.height()) / 2);
    setGeometry(QRect(frameAt + QPoint(m_frame.left(), m_frame.top()), size()));
}
