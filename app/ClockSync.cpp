#include "app/ClockSync.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QStandardPaths>

#include <sys/timex.h>

namespace {

const QString kBusService = QStringLiteral("org.freedesktop.DBus");

QDBusMessage callOn(const QDBusConnection& bus, const QString& service, const QString& path,
                    const QString& interface, const QString& method, const QList<QVariant>& args,
                    int timeoutMs)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(args);
    return bus.call(call, QDBus::Block, timeoutMs);
}

// A property's value; invalid when there is no answer.
QVariant property(const QDBusConnection& bus, const QString& service, const QString& path,
                  const QString& interface, const QString& name, int timeoutMs)
{
    const QDBusMessage reply =
        callOn(bus, service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
               QStringLiteral("Get"), {interface, name}, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

// timesyncd's last exchange with its server (leap, version, mode, stratum, precision, root delay
// and dispersion, reference, then the four timestamps in microseconds, spike, packets, jitter):
// the offset it measured, in seconds; empty before the first answer.
std::optional<double> offsetOfMessage(const QVariant& value)
{
    if (!value.canConvert<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument arg = value.value<QDBusArgument>();
    uint leap = 0, version = 0, mode = 0, stratum = 0;
    int precision = 0;
    qulonglong rootDelay = 0, rootDispersion = 0, origin = 0, receive = 0, transmit = 0, dest = 0;
    qulonglong packets = 0, jitter = 0;
    QByteArray reference;
    bool spike = false;
    arg.beginStructure();
    arg >> leap >> version >> mode >> stratum >> precision >> rootDelay >> rootDispersion >>
        reference >> origin >> receive >> transmit >> dest >> spike >> packets >> jitter;
    arg.endStructure();
    if (dest == 0 || origin == 0)
        return std::nullopt;
    const double offsetUs =
        (double(qint64(receive - origin)) + double(qint64(transmit - dest))) / 2;
    return offsetUs / 1e6;
}

TimeServiceReport askSystemBus(int timeoutMs)
{
    TimeServiceReport report;
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return report;
    const QString timesync = QStringLiteral("org.freedesktop.timesync1");
    // Only a running timesyncd is asked: a question would start one that is switched off.
    const QDBusMessage owner =
        callOn(bus, kBusService, QStringLiteral("/org/freedesktop/DBus"), kBusService,
               QStringLiteral("NameHasOwner"), {timesync}, timeoutMs);
    if (owner.type() != QDBusMessage::ReplyMessage) {
        report.name = QStringLiteral("D-Bus");
        report.answered = false;
        return report;
    }
    if (!owner.arguments().isEmpty() && owner.arguments().constFirst().toBool()) {
        const QString path = QStringLiteral("/org/freedesktop/timesync1");
        const QString manager = QStringLiteral("org.freedesktop.timesync1.Manager");
        report.name = QStringLiteral("systemd-timesyncd");
        const QVariant message =
            property(bus, timesync, path, manager, QStringLiteral("NTPMessage"), timeoutMs);
        report.answered = message.isValid();
        report.offsetSeconds = offsetOfMessage(message);
        report.server =
            property(bus, timesync, path, manager, QStringLiteral("ServerName"), timeoutMs)
                .toString();
    }
    // timedated is started on demand, as for timedatectl.
    const QVariant synced = property(bus, QStringLiteral("org.freedesktop.timedate1"),
                                     QStringLiteral("/org/freedesktop/timedate1"),
                                     QStringLiteral("org.freedesktop.timedate1"),
                                     QStringLiteral("NTPSynchronized"), timeoutMs);
    if (synced.isValid()) {
        if (report.name.isEmpty())
            report.name = QStringLiteral("timedated");
        report.synchronised = synced.toBool();
    }
    return report;
}

// chrony's tracking report in its comma-separated form: reference, server, stratum, reference
// time, the system clock's offset in seconds, … , leap status last.
TimeServiceReport askChrony(const QString& chronyc, int timeoutMs)
{
    TimeServiceReport report;
    report.name = QStringLiteral("chrony");
    QProcess process;
    process.start(chronyc, {QStringLiteral("-c"), QStringLiteral("tracking")});
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(100);
        report.answered = false;
        return report;
    }
    const QStringList fields =
        QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed().split(QLatin1Char(','));
    if (process.exitCode() != 0 || fields.size() < 14) {
        report.answered = false;
        return report;
    }
    report.server = fields[1];
    bool isNumber = false;
    const double offset = fields[4].toDouble(&isNumber);
    if (isNumber)
        report.offsetSeconds = offset;
    report.synchronised =
        fields[2].toInt() > 0 && fields.last().compare(QLatin1String("Not synchronised")) != 0;
    return report;
}

} // namespace

KernelClock readKernelClock()
{
    timex state {};
    const int result = ::adjtimex(&state);
    KernelClock clock;
    clock.synchronised = result != -1 && result != TIME_ERROR && !(state.status & STA_UNSYNC);
    clock.estimatedErrorUs = state.esterror;
    return clock;
}

TimeServiceReport askTimeService(int timeoutMs)
{
    TimeServiceReport report = askSystemBus(timeoutMs);
    if (report.offsetSeconds)
        return report;
    if (const QString chronyc = QStandardPaths::findExecutable(QStringLiteral("chronyc"));
        !chronyc.isEmpty()) {
        TimeServiceReport chrony = askChrony(chronyc, timeoutMs);
        if (chrony.answered || report.name.isEmpty())
            return chrony;
    }
    return report;
}
