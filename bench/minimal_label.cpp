// One label, the same text, the same 188 ms timer: what the countdown may cost at most.
// With --plain the text keeps its plain 48-pixel size.

#include "countdown/Clock.h"
#include "countdown/Countdown.h"
#include "countdown/RegionalSettings.h"
#include "countdown/TemplateExpander.h"
#include "display/FontFitting.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SystemClock clock;
    const RegionalSettings regional = RegionalSettings::fromEnvironment();
    const TDateTime target = newYearMoment(clock);

    QLabel label;
    label.setWindowTitle(QStringLiteral("Minimal countdown"));
    label.setAlignment(Qt::AlignCenter);
    label.setStyleSheet(QStringLiteral("background: black; color: white;"));
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    label.setGeometry(QGuiApplication::primaryScreen()->geometry());
    if (app.arguments().contains(QStringLiteral("--plain"))) {
        // The simplest program a user could choose: the text at its plain 48-pixel size.
        font.setPixelSize(48);
        label.setFont(font);
    } else {
        // The same size the countdown's title gets in the same area, so both draw the same
        // glyphs.
        const QSize titleArea(label.width(), label.height() - label.height() / 2);
        const int points = fitTitleFontSize(expandSample(kDefaultTemplate, clock), font, titleArea,
                                            label.logicalDpiY());
        label.setFont(fontAtPoints(font, points, label.logicalDpiY()));
    }

    const auto tick = [&] {
        const int64_t r = remainingSeconds(nowValue(clock), target);
        QString text = expandLive(kDefaultTemplate, breakdownOf(r), target, clock, regional);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        label.setText(text);
    };
    // The first paint already shows the text, as any program a user would choose does; with
    // --first-tick the label stays empty until its first 188 ms tick.
    if (!app.arguments().contains(QStringLiteral("--first-tick")))
        tick();
    QTimer timer;
    timer.setInterval(188);
    QObject::connect(&timer, &QTimer::timeout, tick);
    timer.start();
    label.show();
    return app.exec();
}
