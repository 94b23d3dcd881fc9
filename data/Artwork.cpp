#include "data/Artwork.h"

#include <QDirIterator>

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
