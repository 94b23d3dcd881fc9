#pragma once
// Keeps the screen awake while the countdown window is shown: the screen saver and the
// monitor's power saving are held off from the moment the window appears until it is hidden,
// closed or the program ends (a signal ends it through the same orderly path). The desktop's
// service or the X11 extension is asked, and a Wayland compositor through its own protocol; the
// zero moment's video plays inside the window and is covered by the same hold.

#include "app/ScreenSaverInhibitor.h"
#include "app/WaylandIdleInhibitor.h"

#include <QObject>

class QWidget;

class ScreenAwake : public QObject {
    Q_OBJECT
public:
    explicit ScreenAwake(QWidget& window);

    const ScreenSaverInhibitor& inhibitor() const { return m_inhibitor; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void update();

    QWidget& m_window;
    bool m_holdAfterPaint = false;
    ScreenSaverInhibitor m_inhibitor;
    WaylandIdleInhibitor m_idleInhibitor;
};
