#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into an ordinary call on the UI thread (self-pipe), so a
// killed program ends through the same orderly path as a closed window and saves settings.

#include <QObject>
#include <functional>

class QSocketNotifier;

class SignalBridge : public QObject {
    Q_OBJECT
public:
    explicit SignalBridge(std::function<void(int)> onSignal, QObject* parent = nullptr);
    ~SignalBridge() override;

private:
    void drain();

    std::function<void(int)> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};
