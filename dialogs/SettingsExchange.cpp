#include "dialogs/SettingsExchange.h"

#include "countdown/Countdown.h"
#include "dialogs/AlignmentList.h"
#include "dialogs/DatePicker.h"
#include "dialogs/TemplateEditor.h"
#include "dialogs/TimePicker.h"
#include "dialogs/UCfg.h"
#include "display/Label3D.h"

#include <QCheckBox>
#include <QPointer>
#include <QRadioButton>

namespace {

// The size the preview shows every title font at.
constexpr int kPreviewPointSize = 14;

} // namespace

void applyTitleFont(TLabel3D& label, const Settings& settings)
{
    QFont font = label.font();
    if (!settings.titleFontName.isEmpty())
        font.setFamily(settings.titleFontName);
    font.setBold(settings.titleBold);
    font.setItalic(settings.titleItalic);
    font.setUnderline(settings.titleUnderline);
    font.setStrikeOut(settings.titleStrikeOut);
    label.setFont(font);
    label.setFontColor(settings.titleColor);
    label.setFontCharset(settings.titleCharset);
}

void fillDialog(TCFGDialog& dialog, const ExchangeValues& values)
{
    const Settings& s = values.settings;
    dialog.Memo1->setTemplateText(s.titleTemplate);
    dialog.ImageAlign->setSelectedRowSilently(s.pictureAlignment);
    dialog.LabelTest->setColor(s.backgroundColor);
    applyTitleFont(*dialog.LabelTest, s);
    dialog.LabelTest->setFontPointSize(kPreviewPointSize);
    dialog.ImageAlign->setTag(s.pictureAlignment);

    // A stored value that names no representable date (damaged settings) shows as the next
    // New Year instead, so that the pickers never hold something they cannot display.
    const TDateTime shown =
        isValidDateTime(s.pickedDate) ? s.pickedDate : newYearMoment(dialog.clock());
    dialog.DatePicker->setValue(shown);
    dialog.TimePicker->setValue(shown);

    if (s.usePickedDate)
        dialog.cbDatum->setChecked(true);
    else
        dialog.cbNewYear->setChecked(true);
    dialog.cbDatumClick();

    dialog.cbShadow->setChecked(s.shadow);
}

int runSettingsDialog(TCFGDialog& dialog, ExchangeValues& values, const Clock& clock)
{
    fillDialog(dialog, values);
    // The modal loop runs the whole program, which may tear the dialog down meanwhile.
    const QPointer<TCFGDialog> alive(&dialog);
    const int result = dialog.exec();
    if (!alive)
        return 0;
    readBack(dialog, result, values, clock);
    return result;
}

void readBack(const TCFGDialog& dialog, int modalResult, ExchangeValues& values, const Clock& clock)
{
    Settings& s = values.settings;
    if (modalResult != mrOk) {
        s.pictureAlignment = dialog.ImageAlign->tag();
        return;
    }
    s.shadow = dialog.cbShadow->isChecked();

    const TargetChoice choice = recomputeTarget(
        dialog.DatePicker->value(), dialog.TimePicker->value(), dialog.cbDatum->isChecked(), clock);
    s.pickedDate = choice.picked;
    s.usePickedDate = choice.usePicked;
    values.target = choice.target;

    s.backgroundColor = dialog.LabelTest->color();
    const QFont& font = dialog.LabelTest->font();
    s.titleFontName = font.family();
    s.titleBold = font.bold();
    s.titleItalic = font.italic();
    s.titleUnderline = font.underline();
    s.titleStrikeOut = font.strikeOut();
    s.titleColor = dialog.LabelTest->fontColor();
    s.titleCharset = uint8_t(dialog.LabelTest->fontCharset());
    s.pictureAlignment = dialog.ImageAlign->selectedRow();
    s.titleTemplate = dialog.Memo1->templateText();
}
