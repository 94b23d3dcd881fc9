// One label, the same text, the same 188 ms timer: what the countdown may cost at most.

#include "countdown/Clock.h"
#include "countdown/Countdown.h"
#include "countdown/RegionalSettings.h"
#include "countdown/TemplateExpander.h"

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
    font.setPixelSize(60);
    label.setFont(font);
    label.setGeometry(QGuiApplication::primaryScreen()->geometry());

    QTimer timer;
    timer.setInterval(188);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const int64_t r = remainingSeconds(nowValue(clock), target);
        QString text = expandLive(kBuiltInTemplate, breakdownOf(r), target, clock, regional);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        label.setText(text);
    });
    timer.start();
    label.show();
    return app.exec();
}
