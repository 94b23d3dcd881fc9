#include "data/Artwork.h"

#include <QDirIterator>
#include <QPainter>

QIcon applicationIcon()
{
    // One file per size, as the build rendered them.
    QIcon icon;
    QDirIterator it(QStringLiteral(":/artwork/icons/hicolor"), {QStringLiteral("yearmark.png")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        icon.addFile(it.next());
    return icon;
}

QImage makerLogo()
{
    const QImage drawn(QStringLiteral(":/artwork/logo/maker.png"));
    QImage logo(drawn.size(), QImage::Format_RGB888);
    logo.fill(Qt::white);
    QPainter painter(&logo);
    painter.drawImage(0, 0, drawn);
    return logo;
}
