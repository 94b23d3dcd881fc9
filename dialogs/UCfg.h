#pragma once
// The settings dialog: the one place where the user edits what the countdown shows. Its
// controls are the working copy of the settings while it is open; the main window fills it
// before every showing and reads it back afterwards (SettingsExchange.h).

#include "countdown/Clock.h"
#include "dialogs/FontChooser.h"
#include "display/Colors.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QColorDialog;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class TAlignmentList;
class TDatePicker;
class TLabel3D;
class TTemplateEditor;
class TTimePicker;

// The modal results the dialog ends with; any result other than mrOk is a cancel.
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

class TCFGDialog : public QDialog {
    Q_OBJECT
public:
    // The main window is the parent, so that the dialog shows above the stay-on-top window.
    TCFGDialog(QWidget* mainWindow, const Clock& clock);

    // The controls, public as the form's components are.
    QGroupBox* gbData = nullptr;
    QRadioButton* cbNewYear = nullptr;
    QRadioButton* cbDatum = nullptr;
    TDatePicker* DatePicker = nullptr;
    QLabel* Label2 = nullptr;
    TTimePicker* TimePicker = nullptr;
    QLabel* lbl_Name01 = nullptr;
    TTemplateEditor* Memo1 = nullptr;
    QLabel* Label1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QGroupBox* gbColors = nullptr;
    TLabel3D* LabelTest = nullptr;
    QPushButton* bFont = nullptr;
    QCheckBox* cbShadow = nullptr;
    QGroupBox* gbImage = nullptr;
    TAlignmentList* ImageAlign = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* bCancel = nullptr;
    QColorDialog* ColorDialog1 = nullptr;
    TFontChooser* FontDialog1 = nullptr;

    // ImageAlignClick: the main window sets its picture alignment and lays itself out at once.
    std::function<void(int alignment)> onAlignmentPreview;
    // bFontClick: the title's current fitted size in points.
    std::function<int()> titleFontSize;

    // Run the choosers; true when the user confirmed. Replaceable so that both outcomes can
    // be driven without a modal loop.
    std::function<bool()> runColorChooser;
    std::function<bool()> runFontChooser;

    // The clock the dialog was created with.
    const Clock& clock() const { return m_clock; }

    // The font the button shows: the title's typeface and style in the normal text colour.
    TColor bFontColor() const { return m_bFontColor; }

    // The dialog's handlers.
    void FormShow();
    void cbDatumClick();
    void LabelTestClick();
    void bFontClick();
    void cbShadowClick();
    void ImageAlignClick();
    void OKBtnClick();
    void bCancelClick();

    // The close box cancels, as "Abbrechen" does.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate(const Clock& clock);
    void createControls();
    void setTabOrderChain();
    void centreOverParent();
    void applyButtonFont(const FontSpec& font);

    const Clock& m_clock;
    TColor m_bFontColor = clWindowText;
    bool m_shownBefore = false;
};

// The font a label carries, as the choosers and the exchange handle it.
FontSpec labelFont(const TLabel3D& label);
void setLabelFont(TLabel3D& label, const FontSpec& font);
