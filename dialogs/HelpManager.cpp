#include "dialogs/HelpManager.h"

#include <QFileInfo>

#include <algorithm>

void THelpManager::registerViewer(THelpViewer* viewer)
{
    m_viewers.push_back(viewer);
    viewer->setViewerNumber(int(m_viewers.size()));
}

void THelpManager::unregisterViewer(THelpViewer* viewer) { std::erase(m_viewers, viewer); }

void THelpManager::showTableOfContents(const QString& helpFile)
{
    if (helpFile.isEmpty() || !QFileInfo(helpFile).isFile())
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
