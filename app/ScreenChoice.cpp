#include "app/ScreenChoice.h"

#include <QGuiApplication>
#include <QScreen>

QScreen* screenNamed(const QString& name)
{
    if (name.isEmpty())
        return QGuiApplication::primaryScreen();
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens)
        if (screen->name().compare(name, Qt::CaseInsensitive) == 0)
            return screen;
    bool isNumber = false;
    const int number = name.toInt(&isNumber);
    if (isNumber && number >= 1 && number <= screens.size())
        return screens[number - 1];
    return nullptr;
}
