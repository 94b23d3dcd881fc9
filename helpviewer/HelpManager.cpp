#include "helpviewer/HelpManager.h"

void THelpManager::showTableOfContents(const QString& helpFile)
{
    // Whether the file is there is left to the viewer's reader, away from this thread: even a
    // look at a help file on stalled storage would hold the count.
    if (!helpFile.isEmpty() && m_viewer)
        m_viewer->showTableOfContents(helpFile);
}
