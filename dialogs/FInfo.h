#pragma once
// The information dialog: names the program, its version and its maker, and opens the
// maker's contact page in the user's browser on a click on the logo or the link line.

#include <QDialog>
#include <QMargins>

class QFrame;
class QLabel;
class TLogoImage;
class TPanel;

class TFormInfo : public QDialog {
    Q_OBJECT
public:
    explicit TFormInfo(QWidget* parent = nullptr);

    // The contact page's address and the maker's line, as the build set them.
    static QString contactUrl();
    static QString makerLine();

    // Components, named as the dialog's design names them.
    TLogoImage* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* LabelVer = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Lab = nullptr;
    QFrame* Bevel1 = nullptr;
    TPanel* Panel1 = nullptr;
    QLabel* ImageICON = nullptr;

    void FormCreate();
    void Image1Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The main window the dialog belongs to.
    QWidget* owner() const;
    void placeOverOwner();

    // The window manager's frame around the dialog, as last seen.
    QMargins m_frame;
};

// The logo: the picture centred in the control, its ground colour (the bottom-left pixel)
// left out so the dialog's colour shows through.
class TLogoImage : public QWidget {
    Q_OBJECT
public:
    explicit TLogoImage(QWidget* parent = nullptr);
    void setPicture(const QImage& picture);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
};

// A panel framed by an outer bevel and, inside it, an inner one, each raised, lowered or
// absent, both of one width; its face is the window's colour.
class TPanel : public QWidget {
    Q_OBJECT
public:
    enum class Bevel { None, Lowered, Raised };
    TPanel(Bevel outer, Bevel inner, int bevelWidth, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Bevel m_outer;
    Bevel m_inner;
    int m_bevelWidth;
};
