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

void fillDialog(TCFGDialog& dialog, const ExchangeValues& values)
{
    dialog.Memo1->setTemplateText(values.displayTemplate);
    dialog.ImageAlign->setSelectedRowSilently(values.pictureAlignment);
    dialog.LabelTest->setColor(values.backgroundColor);
    setLabelFont(*dialog.LabelTest, FontSpec {values.titleFont, values.titleFontColor,
                                              values.titleFontCharset, values.titleFontPointSize});
    dialog.LabelTest->setFontPointSize(kPreviewPointSize);
    dialog.ImageAlign->setTag(values.pictureAlignment);

    // A stored value that names no representable date (damaged settings) shows as the next
    // New Year instead, so that the pickers never hold something they cannot display.
    const TDateTime shown =
        isValidDateTime(values.picked) ? values.picked : newYearMoment(dialog.clock());
    dialog.DatePicker->setValue(shown);
    dialog.TimePicker->setValue(shown);

    if (values.usePicked)
        dialog.cbDatum->setChecked(true);
    else
        dialog.cbNewYear->setChecked(true);
    dialog.cbDatumClick();

    dialog.cbShadow->setChecked(values.shadow);
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
    if (modalResult != mrOk) {
        values.pictureAlignment = dialog.ImageAlign->tag();
        return;
    }
    values.shadow = dialog.cbShadow->isChecked();

    const TargetChoice choice = recomputeTarget(
        dialog.DatePicker->value(), dialog.TimePicker->value(), dialog.cbDatum->isChecked(), clock);
    values.picked = choice.picked;
    values.usePicked = choice.usePicked;
    values.target = choice.target;

    values.backgroundColor = dialog.LabelTest->color();
    const FontSpec font = labelFont(*dialog.LabelTest);
    values.titleFont = font.face;
    values.titleFontColor = font.color;
    values.titleFontCharset = font.charset;
    values.titleFontPointSize = font.pointSize;
    values.pictureAlignment = dialog.ImageAlign->selectedRow();
    values.displayTemplate = dialog.Memo1->templateText();
}
