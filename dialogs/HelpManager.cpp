#include "dialogs/HelpManager.h"

#include <algorithm>

void THelpManager::registerViewer(THelpViewer* viewer)
{
    m_viewers.push_back(viewer);
    viewer->setViewerNumber(int(m_viewers.size()));
}

void THelpManager::unregisterViewer(THelpViewer* viewer) { std::erase(m_viewers, viewer); }

void THelpManager::showTableOfContents(const QString& helpFile)
{
    // Whether the file is there is left to the viewer's reader, away from this thread: even a
    // look at a help file on stalled storage would hold the count.
    if (helpFile.isEmpty())
        return;
    std::vector<THelpViewer*> able;
    std::copy_if(m_viewers.begin(), m_viewers.end(), std::back_inserter(able),
                 [](const THelpViewer* v) { return v->canShowTableOfContents(); });
    if (able.empty())
        return;
    std::stable_sort(able.begin(), able.end(), [](const THelpViewer* a, const THelpViewer* b) {
        return a->viewerName() < b->viewerName();
    });
    int chosen = 0;
    if (able.size() > 1 && m_selector) {
        QStringList names;
        for (const THelpViewer* v : able)
            names << v->viewerName();
        chosen = m_selector->selectTableOfContents(names);
    }
    if (chosen >= 0 && chosen < int(able.size()))
        able[size_t(chosen)]->showTableOfContents(helpFile);
}
